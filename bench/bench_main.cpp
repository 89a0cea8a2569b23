// The entry of every benchmark program: runs the benchmarks in a private settings directory, so that they
// never touch the user's rule lists.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

int main(int argc, char** argv) {
  std::string dir = (std::filesystem::temp_directory_path() / "quell-bench-XXXXXX").string();
  if (!mkdtemp(dir.data())) return 1;
  setenv("XDG_DATA_HOME", dir.c_str(), 1);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(dir);
  return 0;
}
