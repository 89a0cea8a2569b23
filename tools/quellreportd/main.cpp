// quellreportd: the backend that receives missed-spam reports from the app and keeps them.
//   quellreportd serve --listen HOST:PORT --cert FILE --key FILE --db FILE [--app-id ID] [--rest-key KEY]
//   quellreportd make-cert DIR         a self-signed certificate and key for local use (cert.pem, key.pem)
//   quellreportd export --db FILE [OUT] the stored reports as labeled lines for quelltrain:
//                                       the user's label, a tab, the normalised text
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>

#include "engine/message_normalization.h"
#include "platform/bundle.h"
#include "platform/command_line.h"
#include "tools/quellreportd/report_server.h"
#include "tools/tlscert/self_signed_certificate.h"

const quell::BundleIdentity quell::kMainBundleIdentity = {"Quellreportd", "app.quell.reportd"};

namespace {

const quell::CommandLine kCommandLine("quellreportd",
                                      "usage: quellreportd serve --listen HOST:PORT --cert FILE --key FILE --db FILE "
                                      "[--app-id ID] [--rest-key KEY]\n"
                                      "       quellreportd make-cert DIR\n"
                                      "       quellreportd export --db FILE [OUT]\n");

int fail(const std::string& message) { return kCommandLine.fail(message); }

httplib::SSLServer* running = nullptr;

int serve(const std::map<std::string, std::string>& options) {
  for (const char* needed : {"--listen", "--cert", "--key", "--db"})
    if (!options.count(needed)) return kCommandLine.usageError(std::string("serve needs ") + needed);
  const std::string& listen = options.at("--listen");
  auto colon = listen.rfind(':');
  if (colon == std::string::npos) return kCommandLine.usageError("--listen takes HOST:PORT");
  std::string host = listen.substr(0, colon);
  if (host.size() > 2 && host.front() == '[') host = host.substr(1, host.size() - 2);
  auto port = quell::parseWholeNumber(std::string_view(listen).substr(colon + 1), 1, 65535);
  if (!port) return kCommandLine.usageError("bad port in --listen");

  auto store = quell::ReportStore::open(options.at("--db"));
  if (!store) return fail(store.message());
  httplib::SSLServer server(options.at("--cert").c_str(), options.at("--key").c_str());
  if (!server.is_valid()) return fail("cannot load the certificate or key");
  quell::ReportServerOptions serverOptions;
  if (options.count("--app-id")) serverOptions.applicationId = options.at("--app-id");
  if (options.count("--rest-key")) serverOptions.restKey = options.at("--rest-key");
  quell::configureReportServer(server, **store, serverOptions);
  running = &server;
  std::signal(SIGINT, [](int) { running->stop(); });
  std::signal(SIGTERM, [](int) { running->stop(); });
  if (!server.bind_to_port(host, static_cast<int>(*port))) return fail("cannot listen on " + listen);
  std::fprintf(stderr, "quellreportd: serving https://%s/classes/spam\n", listen.c_str());
  server.listen_after_bind();
  return 0;
}

// TSV holds no tab or line break inside a field.
std::string oneLine(std::string text) {
  for (char& c : text)
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  return text;
}

int exportReports(const std::string& db, const char* out) {
  auto store = quell::ReportStore::open(db);
  if (!store) return fail(store.message());
  std::ofstream file;
  if (out) {
    file.open(out, std::ios::binary | std::ios::trunc);
    if (!file) return fail(std::string("cannot write ") + out);
  }
  std::ostream& sink = out ? static_cast<std::ostream&>(file) : std::cout;
  (*store)->forEach([&sink](const quell::SpamReport& report, const quell::ReportStore::Stored&) {
    std::string text = oneLine(quell::normalizeMessageBody(report.text));
    if (!text.empty()) sink << report.useRating << '\t' << text << '\n';
  });
  sink.flush();
  return sink ? 0 : fail("the export could not be written");
}

}  // namespace

int main(int argc, char** argv) {
  if (auto exit = kCommandLine.standardOption(argc, argv)) return *exit;
  if (argc < 2) return kCommandLine.usageError("a command is needed");
  std::string command = argv[1];
  if (command == "make-cert" && argc == 3) {
    std::string error;
    if (!quell::writeSelfSignedCertificate(argv[2], 825, &error)) return fail(error);
    std::printf("%s/cert.pem\n%s/key.pem\n", argv[2], argv[2]);
    return 0;
  }
  std::map<std::string, std::string> options;
  std::vector<std::string> positional;
  for (int i = 2; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.rfind("--", 0) == 0 && i + 1 < argc)
      options[arg] = argv[++i];
    else
      positional.push_back(arg);
  }
  if (command == "serve" && positional.empty()) return serve(options);
  if (command == "export" && options.count("--db") && positional.size() <= 1)
    return exportReports(options.at("--db"), positional.empty() ? nullptr : positional[0].c_str());
  return kCommandLine.usageError("unknown command or wrong arguments");
}
