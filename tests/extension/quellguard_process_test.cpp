// The filter process as the SMS service drives it: JSON Lines in, one answer per query out; and its reasons,
// as a program asks for them ("explain": true) and as a person does (--explain).
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <set>

#include "engine/rule_store.h"
#include "extension/query_stream.h"
#include "tests/support/https_test_server.h"
#include "tests/support/test_environment.h"

namespace quell {
namespace {

using nlohmann::json;
using testing::runProcess;
using testing::splitLines;

const std::map<std::string, std::string> kLogToStderr = {{"QUELL_LOG", "stderr"}};

testing::ProcessResult runGuard(const std::string& input, std::map<std::string, std::string> env = kLogToStderr,
                                const std::vector<std::string>& args = {}) {
  return runProcess(QUELLGUARD_PATH, args, input, env);
}

// The environment of a filter whose Info.json, written in dir, names this principal class and attributes.
std::map<std::string, std::string> withAttributes(const testing::TemporaryDirectory& dir, const json& attributes,
                                                  const char* principalClass = "Quellguard") {
  std::ofstream(dir.path() / "Info.json")
      << json{{"NSExtension", {{"NSExtensionPrincipalClass", principalClass}, {"NSExtensionAttributes", attributes}}}};
  auto env = kLogToStderr;
  env["QUELL_EXTENSION_INFO"] = (dir.path() / "Info.json").string();
  return env;
}

// Query lines, one per object.
std::string queryLines(std::initializer_list<json> queries) {
  std::string lines;
  for (const json& query : queries) lines += query.dump() + "\n";
  return lines;
}

// The answer to one query line, parsed.
json ask(const json& query) {
  auto result = runGuard(query.dump() + "\n");
  auto lines = splitLines(result.out);
  EXPECT_EQ(lines.size(), 1u) << result.out << result.err;
  return lines.empty() ? json() : json::parse(lines[0]);
}

json explained(const char* sender, const char* body) {
  json query = {{"id", 1}, {"explain", true}};
  if (sender) query["sender"] = sender;
  if (body) query["messageBody"] = body;
  return ask(query);
}

std::string explainedText(const char* sender, const char* body) {
  auto result = runGuard("", kLogToStderr, {"--explain", "--sender", sender, "--body", body});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  return result.out;
}

const char* kSpamText = "【某某贷】无抵押信用贷款，最快当天放款，额度高利息低，详询客服微信";
const char* kHamText = "好的，我明天下午三点到公司楼下等你";

std::map<json, json> answersById(const std::string& out) {
  std::map<json, json> answers;
  for (const auto& line : splitLines(out)) {
    auto answer = json::parse(line);
    EXPECT_FALSE(answers.count(answer["id"])) << "two answers for " << answer["id"];
    answers[answer["id"]] = answer;
  }
  return answers;
}

class QuellguardProcess : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(RuleStore::writeLists({
        {RuleListKind::NumberWhitelist, {"10086"}},
        {RuleListKind::NumberBlacklist, {"10690000", "106 9", "10690000"}},
        {RuleListKind::KeywordWhitelist, {"验证码"}},
        {RuleListKind::KeywordBlacklist, {"退订", "无关", "TD"}},
    }));
  }
  testing::ScopedDataHome home_;
};
using QuellguardExplain = QuellguardProcess;

TEST_F(QuellguardProcess, AnswersEveryQueryOnceAndLogsFailedDeferrals) {
  const std::string input = queryLines({{{"id", 1}, {"sender", "10690000"}, {"messageBody", "你好"}},
                                        {{"id", "two"}, {"sender", "123"}, {"messageBody", "回复退订"}},
                                        {{"id", 3}, {"sender", "123"}, {"messageBody", "明天见"}},
                                        {{"id", 4}, {"messageBody", "退订"}},
                                        {{"id", 5.5}, {"sender", "10690000"}, {"messageBody", nullptr}}}) +
                            "\n";
  auto result = runGuard(input);
  EXPECT_EQ(result.exitCode, 0);
  auto answers = answersById(result.out);
  ASSERT_EQ(answers.size(), 5u);
  EXPECT_EQ(answers[1]["action"], "junk");
  EXPECT_EQ(answers["two"]["action"], "junk");
  EXPECT_EQ(answers[3]["action"], "none");
  EXPECT_EQ(answers[4]["action"], "none");
  EXPECT_EQ(answers[5.5]["action"], "none");
  // With no network service configured, that is said once, not for each of the three none answers.
  EXPECT_EQ(splitLines(result.err), std::vector<std::string>{"No network service is configured: messages that "
                                                             "are not junk are answered none without one"});

  // A configured service that cannot be reached is a real failure, logged for each message.
  testing::TemporaryDirectory config;
  auto unreachable =
      runGuard(input, withAttributes(config, {{"ILMessageFilterExtensionNetworkURL", "https://127.0.0.1:1/filter"}}));
  EXPECT_EQ(answersById(unreachable.out).size(), 5u);
  auto log = splitLines(unreachable.err);
  ASSERT_EQ(log.size(), 3u);
  for (const auto& line : log) EXPECT_EQ(line.rfind("Error deferring query request to network: ", 0), 0u);
}

TEST_F(QuellguardProcess, BadLinesGetErrorsAndTheStreamGoesOn) {
  std::string huge = R"({"id": 9, "sender": "1", "messageBody": ")" + std::string(10 << 20, 'a') + "\"}";
  std::string input =
      "not json\n[1, 2]\n{\"sender\": \"1\", \"messageBody\": \"x\"}\n"
      "{\"id\": {\"a\": 1}, \"sender\": \"1\"}\n"
      "{\"id\": 5, \"sender\": 10690000, \"messageBody\": \"x\"}\n"
      "{\"id\": 6, \"sender\": \"1\", \"messageBody\": [\"x\"]}\n"
      "{\"id\": 7, \"sender\": \"1\", \"messageBody\": \"\xff\xfe\"}\n" +
      std::string("\x01\0\x02\n", 4) + huge + "\n" +
      queryLines({{{"id", "last"}, {"sender", "10690000"}, {"messageBody", "x"}}});
  auto result = runGuard(input);
  EXPECT_EQ(result.exitCode, 0);
  auto lines = splitLines(result.out);
  ASSERT_EQ(lines.size(), 10u) << result.out.substr(0, 2000);
  int errors = 0;
  for (const auto& line : lines) {
    auto answer = json::parse(line);
    if (answer.contains("error")) {
      ++errors;
      EXPECT_TRUE(answer["error"].is_string());
      EXPECT_FALSE(answer["error"].get<std::string>().empty());
    }
  }
  EXPECT_EQ(errors, 9);
  EXPECT_EQ(json::parse(lines.back()), (json{{"id", "last"}, {"action", "junk"}}));
  // The errors name the query where its id could be read.
  EXPECT_NE(result.out.find(R"({"id":5,"error":"\"sender\" must be a string, null or absent"})"), std::string::npos);
}

TEST_F(QuellguardProcess, EchoesEveryIdExactlyAsItWasSent) {
  const std::vector<std::string> ids = {
      "18446744073709551617", "1.50",           "1e2", "-0.0", "123456789012345678901234567890",
      "-9223372036854775808", R"("a\u00e9\"b")"};
  std::string input;
  for (const auto& id : ids) input += "{\"id\": " + id + ", \"sender\": \"10690000\", \"messageBody\": \"x\"}\n";
  input += "{\"id\": 2.5e1, \"sender\": 7}\n";
  auto lines = splitLines(runGuard(input).out);
  ASSERT_EQ(lines.size(), ids.size() + 1);
  for (std::size_t i = 0; i < ids.size() - 1; ++i) EXPECT_EQ(lines[i], R"({"id":)" + ids[i] + R"(,"action":"junk"})");
  EXPECT_EQ(json::parse(lines[ids.size() - 1])["id"], "a\u00e9\"b");  // a string comes back as the same string
  EXPECT_EQ(lines.back().rfind(R"({"id":2.5e1,"error":)", 0), 0u) << lines.back();
}

// Bodies built to be expensive: one letter followed by very long runs of combining marks of alternating
// classes (whose canonical order must be sorted), and a line of almost a megabyte of them.
std::string markRun(std::size_t pairs) {
  std::string run;
  for (std::size_t i = 0; i < pairs; ++i) run += "\u0301\u0316";
  return run;
}

TEST_F(QuellguardProcess, HostileBodiesAndSendersAreJudgedPromptlyAndRightly) {
  const std::string marks = markRun(10000), nearlyAMegabyte = markRun((kMaxQueryLineBytes - 100) / 4);
  std::string chinese;
  while (chinese.size() < kMaxQueryLineBytes - 200) chinese += "会员日特惠全场满减新品首发积分翻倍免费包邮快来选购吧";
  const std::string input = queryLines({{{"id", 1}, {"sender", "123"}, {"messageBody", "a" + marks + "回复退订"}},
                                        {{"id", 2}, {"sender", "1069" + marks}, {"messageBody", "a" + marks}},
                                        {{"id", 3}, {"sender", "123"}, {"messageBody", "a" + nearlyAMegabyte}},
                                        {{"id", 4}, {"sender", "123"}, {"messageBody", chinese + "退订"}},
                                        {{"id", 5}, {"sender", "10690000"}, {"messageBody", marks}}});
  // Generous: each of these takes milliseconds; quadratic work on them took minutes.
  auto result = testing::runProcess(QUELLGUARD_PATH, {}, input, kLogToStderr, std::chrono::seconds(60));
  ASSERT_FALSE(result.timedOut);
  auto answers = answersById(result.out);
  ASSERT_EQ(answers.size(), 5u) << result.out;
  // The keyword after the run is still found.
  for (int id = 1; id <= 5; ++id) EXPECT_EQ(answers[id]["action"], id == 2 || id == 3 ? "none" : "junk") << id;
}

TEST_F(QuellguardProcess, ASilentServiceSlowsTheReaderInsteadOfFillingMemory) {
  // A service that accepts every connection and never says a word.
  int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  ASSERT_GE(listener, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(listener, 64), 0);
  socklen_t length = sizeof address;
  getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
  std::vector<int> held;
  std::thread acceptor([&] {
    for (int fd; (fd = accept(listener, nullptr, nullptr)) >= 0;) held.push_back(fd);
  });
  testing::TemporaryDirectory config;
  auto env = withAttributes(config, {{"ILMessageFilterExtensionNetworkURL",
                                      "https://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/"},
                                     {"QuellNetworkTimeoutMs", 300}});
  env["ASAN_OPTIONS"] = testing::measurableAsanOptions();

  // Queries of half a megabyte from a whitelisted sender: each is judged at once and then waits for the
  // silent service, so queries arrive far faster than the deferrals end.
  const std::string body(512 << 10, 'a');
  auto judge = [&](int queries) {
    std::string input;
    for (int i = 0; i < queries; ++i)
      input += R"({"id": )" + std::to_string(i) + R"(, "sender": "10086", "messageBody": ")" + body + "\"}\n";
    auto result = testing::runProcess(QUELLGUARD_PATH, {}, input, env, std::chrono::minutes(5));
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0);
    auto answers = answersById(result.out);
    EXPECT_EQ(answers.size(), static_cast<std::size_t>(queries));
    for (const auto& [id, answer] : answers) EXPECT_EQ(answer["action"], "none") << id;
    EXPECT_EQ(splitLines(result.err).size(), static_cast<std::size_t>(queries));  // each timeout logged once
    return result.peakMemoryKb;
  };
  const long few = judge(8), many = judge(120);
  shutdown(listener, SHUT_RDWR);
  close(listener);
  acceptor.join();
  for (int fd : held) close(fd);
  // Memory stays flat however many queries wait: queueing all 120 would hold about 60 MB more than 8 do.
  EXPECT_LT(many, few + 24 * 1024) << "8 queries: " << few << " KB, 120 queries: " << many << " KB";
}

// The table a person reads: one row per query with the verdict the stream would give, whatever the text.
TEST_F(QuellguardProcess, TheTableShowsEachQueryOnOneRowWithItsVerdictAndStage) {
  const std::string hostile = "\x1b[31mred\n" + std::string(1 << 19, 'x');
  const std::string input = queryLines({{{"id", 1}, {"sender", "10690000"}, {"messageBody", "你好"}},
                                        {{"id", 2}, {"sender", "123"}, {"messageBody", "明天见"}},
                                        {{"id", 3}, {"sender", "\u202e123"}, {"messageBody", hostile}}}) +
                            "not json\n";
  auto result = runGuard(input, kLogToStderr, {"--table"});
  EXPECT_EQ(result.exitCode, 0);
  auto rows = splitLines(result.out);
  ASSERT_EQ(rows.size(), 5u) << result.out;
  EXPECT_NE(rows[1].find("junk    number-blacklist"), std::string::npos) << rows[1];
  EXPECT_NE(rows[2].find("none    model"), std::string::npos) << rows[2];
  // Control characters are shown escaped, and a long body is cut: the row stays one short line.
  EXPECT_NE(rows[3].find("\\u{202E}123"), std::string::npos) << rows[3];
  EXPECT_NE(rows[3].find("\\u{001B}[31mred\\n"), std::string::npos) << rows[3];
  EXPECT_LT(rows[3].size(), 200u);
  EXPECT_EQ(rows[4].rfind("null", 0), 0u);  // a bad line is shown, and the table goes on
  EXPECT_EQ(result.err, "");                // nothing was deferred, so nothing was logged
}

TEST_F(QuellguardProcess, DeferredQueriesReachTheNetworkServiceAndAnswerNone) {
  testing::HttpsTestServer service;
  std::atomic<int> requests = 0;
  service.server().Post("/filter", [&](const httplib::Request& req, httplib::Response& res) {
    ++requests;
    // The first query is held back, so its answer comes after later ones.
    if (json::parse(req.body)["messageBody"] == "slow") std::this_thread::sleep_for(std::chrono::milliseconds(500));
    res.set_content(R"({"action": "junk"})", "application/json");
  });
  service.start();
  testing::TemporaryDirectory config;
  auto env = withAttributes(config, {{"ILMessageFilterExtensionNetworkURL", service.url("/filter")},
                                     {"QuellNetworkCAFile", service.certificate().string()}});
  std::string input = queryLines({{{"id", 1}, {"sender", "123"}, {"messageBody", "slow"}}});
  for (int i = 2; i <= 20; ++i) input += queryLines({{{"id", i}, {"sender", "123"}, {"messageBody", "明天见"}}});
  input += queryLines({{{"id", 21}, {"sender", "10690000"}, {"messageBody", "x"}}});
  auto result = runGuard(input, env);
  EXPECT_EQ(result.exitCode, 0);
  auto lines = splitLines(result.out);
  auto answers = answersById(result.out);
  ASSERT_EQ(answers.size(), 21u);
  EXPECT_EQ(requests.load(), 20);
  for (int i = 1; i <= 20; ++i) EXPECT_EQ(answers[i]["action"], "none");
  EXPECT_EQ(answers[21]["action"], "junk");
  EXPECT_NE(json::parse(lines.back())["id"], 21);  // out of order: the held-back query answered late
  EXPECT_EQ(result.err, "");                       // every deferral got a response, so nothing was logged
}

TEST_F(QuellguardProcess, UnknownPrincipalClassOrMissingConfigurationFailsClearly) {
  testing::TemporaryDirectory config;
  auto env = withAttributes(config, json::object(), "Nope");
  auto unknown = runGuard("", env);
  EXPECT_EQ(unknown.exitCode, 1);
  EXPECT_NE(unknown.err.find("Nope"), std::string::npos);
  env["QUELL_EXTENSION_INFO"] = (config.path() / "missing.json").string();
  EXPECT_EQ(runGuard("", env).exitCode, 1);
}

TEST_F(QuellguardProcess, ReadsTheOldOrTheNewListWhileAnotherProcessRewritesIt) {
  // Old list: "A" then fillers; new list: fillers then "B". A body holding both is whitelisted by either
  // list; only a mixture of the two (or a failed read) would leave it to the blacklist and make it junk.
  std::vector<std::string> fillers;
  for (int i = 0; i < 200; ++i) fillers.push_back("filler" + std::to_string(i));
  std::vector<std::string> oldList = {"A"}, newList = fillers;
  oldList.insert(oldList.end(), fillers.begin(), fillers.end());
  newList.push_back("B");
  ASSERT_TRUE(
      RuleStore::writeLists({{RuleListKind::KeywordWhitelist, oldList}, {RuleListKind::KeywordBlacklist, {"A", "B"}}}));

  // The writer rewrites the list until it is killed, which also shows that a writer dying mid-write
  // leaves a readable store.
  pid_t writer = fork();
  ASSERT_GE(writer, 0);
  if (writer == 0) {
    for (int i = 0;; ++i)
      if (!RuleStore::writeList(RuleListKind::KeywordWhitelist, i % 2 ? oldList : newList)) _exit(1);
  }
  std::string input;
  for (int i = 0; i < 3000; ++i)
    input += json{{"id", i}, {"sender", "1"}, {"messageBody", i % 2 ? "A and B" : "A alone"}}.dump() + "\n";
  auto result = runGuard(input);
  kill(writer, SIGKILL);
  int status = 0;
  waitpid(writer, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped early: a write failed";
  EXPECT_EQ(RuleStore::readStoredList(RuleListKind::KeywordWhitelist)->size(), 201u);

  auto answers = answersById(result.out);
  ASSERT_EQ(answers.size(), 3000u);
  std::set<std::string> seenForA;
  for (int i = 0; i < 3000; ++i) {
    if (i % 2)
      EXPECT_EQ(answers[i]["action"], "none") << "query " << i;
    else
      seenForA.insert(answers[i]["action"].get<std::string>());
  }
  // "A alone" is none under the old list and junk under the new one; over a long run both are seen,
  // which shows that the reads really overlapped the rewrites.
  EXPECT_EQ(seenForA, (std::set<std::string>{"none", "junk"}));
}

// Which stage decides is the engine's to test; the process adds the decision's members to the answer line.
TEST_F(QuellguardExplain, TheAnswerLineCarriesTheStageAndItsMatchedEntries) {
  json listed = explained("123", "回TD退\n订");
  EXPECT_EQ(listed["id"], 1);
  EXPECT_EQ(listed["action"], "junk");
  EXPECT_EQ(listed["stage"], "keyword-blacklist");
  EXPECT_EQ(listed["matched"], (json{"退订", "TD"}));
  EXPECT_FALSE(listed.contains("score")) << listed;
  json noSender = explained(nullptr, "退订");
  EXPECT_EQ(noSender["stage"], "no-sender");
  EXPECT_EQ(noSender["matched"], json::array());
  EXPECT_EQ(noSender["action"], "none");
}

TEST_F(QuellguardExplain, AModelDecisionGivesItsScoreOnTheSideOfItsActionAndItsWords) {
  for (const auto& [body, action] : {std::pair{kSpamText, "junk"}, std::pair{kHamText, "none"}}) {
    json answer = explained("123", body);
    EXPECT_EQ(answer["stage"], "model");
    EXPECT_EQ(answer["matched"], json::array());
    EXPECT_EQ(answer["action"], action);
    ASSERT_TRUE(answer["score"].is_number() && answer["threshold"].is_number()) << answer;
    EXPECT_EQ(answer["score"].get<double>() > answer["threshold"].get<double>(), answer["action"] == "junk") << answer;
    ASSERT_FALSE(answer["words"].empty());
    for (const auto& word : answer["words"]) {
      EXPECT_NE(std::string(body).find(word["word"].get<std::string>()), std::string::npos) << word;
      EXPECT_GE(word["count"].get<int>(), 1);
    }
  }
}

TEST_F(QuellguardExplain, AQueryWithoutExplainGetsTodaysAnswerExactly) {
  for (const json& query : {json{{"id", 7}, {"sender", "123"}, {"messageBody", "回TD退订"}},
                            json{{"id", 7}, {"sender", "123"}, {"messageBody", "回TD退订"}, {"explain", false}},
                            json{{"id", 7}, {"sender", "123"}, {"messageBody", "回TD退订"}, {"explain", nullptr}}}) {
    auto result = testing::runProcess(QUELLGUARD_PATH, {}, query.dump() + "\n", kLogToStderr);
    EXPECT_EQ(result.out, "{\"id\":7,\"action\":\"junk\"}\n");
  }
  json bad = ask({{"id", 8}, {"sender", "123"}, {"messageBody", "x"}, {"explain", "yes"}});
  EXPECT_EQ(bad["id"], 8);
  EXPECT_TRUE(bad.contains("error")) << bad;
  EXPECT_FALSE(bad.contains("action")) << bad;
}

TEST_F(QuellguardExplain, ThePersonsFormListsEveryStageTriedInOrder) {
  EXPECT_EQ(explainedText("10690000", "x"),
            "number-whitelist   no match\n"
            "number-blacklist   matched \"10690000\" \"10690000\"\n"
            "action             junk\n");
  EXPECT_EQ(explainedText("123", "回TD退订"),
            "number-whitelist   no match\n"
            "number-blacklist   no match\n"
            "keyword-whitelist  no match\n"
            "keyword-blacklist  matched \"退订\" \"TD\"\n"
            "action             junk\n");
  std::string model = explainedText("123", kHamText);
  EXPECT_NE(model.find("keyword-blacklist  no match\nmodel              score -"), std::string::npos) << model;
  EXPECT_NE(model.find("not above the threshold 0: not spam"), std::string::npos) << model;
  // The words listed are the text's own, each with its count.
  int words = 0;
  for (std::size_t quote = model.find("  \""); quote != std::string::npos; quote = model.find("  \"", quote + 1)) {
    std::size_t end = model.find("\" x1\n", quote + 3);
    ASSERT_NE(end, std::string::npos) << model;
    EXPECT_NE(std::string_view(kHamText).find(model.substr(quote + 3, end - quote - 3)), std::string::npos) << model;
    ++words;
  }
  EXPECT_GT(words, 2) << model;
  EXPECT_TRUE(model.ends_with("action             none\n")) << model;
  // Markup and control characters in an entry are quoted, never passed through raw.
  ASSERT_TRUE(RuleStore::writeList(RuleListKind::KeywordBlacklist, {"<b>\x1b[31m"}));
  std::string hostile = explainedText("123", "<b>\x1b[31m");
  EXPECT_NE(hostile.find("matched \"<b>\\u001b[31m\""), std::string::npos) << hostile;
}

// A copy of the filter installed elsewhere, with its model resource as a test wants it.
class RelocatedGuard {
 public:
  RelocatedGuard() {
    auto bin = dir_.path() / "bin";
    bundle_ = dir_.path() / "share" / "quell" / "Quellguard";
    std::filesystem::create_directories(bin);
    std::filesystem::create_directories(bundle_);
    std::filesystem::copy_file(QUELLGUARD_PATH, bin / "quellguard");
    auto built = std::filesystem::path(QUELLGUARD_PATH).parent_path().parent_path() / "share" / "quell" / "Quellguard";
    std::filesystem::copy(built, bundle_, std::filesystem::copy_options::recursive);
  }
  std::filesystem::path modelFile() const { return bundle_ / "QBModel210713.mlmodelc" / "model.qbml"; }
  // What the copy prints for the spam text, with `option` (--explain) if given.
  std::string judgeSpam(const char* option = nullptr, std::chrono::milliseconds timeLimit = std::chrono::minutes(5)) {
    std::vector<std::string> args = {"--sender", "12345", "--body", kSpamText};
    if (option) args.insert(args.begin(), option);
    auto result = testing::runProcess((dir_.path() / "bin" / "quellguard").string(), args, "", kLogToStderr, timeLimit);
    return result.timedOut ? "(timed out)" : result.out;
  }

 private:
  testing::TemporaryDirectory dir_;
  std::filesystem::path bundle_;
};

TEST(QuellguardModelStage, AMissingTruncatedOrCorruptModelAnswersNotSpam) {
  testing::ScopedDataHome home;
  RelocatedGuard guard;
  EXPECT_EQ(guard.judgeSpam(), "junk\n");  // the moved copy finds its own resources

  const std::string bytes = testing::fileContents(guard.modelFile());
  std::ofstream(guard.modelFile(), std::ios::binary | std::ios::trunc) << bytes.substr(0, bytes.size() / 3);
  EXPECT_EQ(guard.judgeSpam(), "none\n");
  std::string corrupt = bytes;
  for (std::size_t i = 0; i < 64; ++i) corrupt[i] = static_cast<char>(0xA5);
  std::ofstream(guard.modelFile(), std::ios::binary | std::ios::trunc) << corrupt;
  EXPECT_EQ(guard.judgeSpam(), "none\n");
  std::filesystem::remove_all(guard.modelFile().parent_path());
  EXPECT_EQ(guard.judgeSpam(), "none\n");
  // The reasons say that the model could not be asked, and why.
  std::string reasons = guard.judgeSpam("--explain");
  EXPECT_NE(
      reasons.find("model              could not be asked (the model resource QBModel210713.mlmodelc is missing)"),
      std::string::npos)
      << reasons;
  EXPECT_TRUE(reasons.ends_with("action             none\n")) << reasons;
}

TEST(QuellguardModelStage, AModelThatIsNotARegularFileIsRefusedWithoutWaiting) {
  testing::ScopedDataHome home;
  RelocatedGuard guard;
  // A FIFO that nobody writes: opening it for reading the ordinary way would wait forever.
  std::filesystem::remove(guard.modelFile());
  ASSERT_EQ(mkfifo(guard.modelFile().c_str(), 0600), 0);
  EXPECT_EQ(guard.judgeSpam(nullptr, std::chrono::seconds(20)), "none\n");
  std::filesystem::remove(guard.modelFile());
  std::filesystem::create_directory(guard.modelFile());
  EXPECT_EQ(guard.judgeSpam(), "none\n");
}

}  // namespace
}  // namespace quell
