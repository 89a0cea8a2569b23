#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "engine/features/word_tokenizer.h"
#include "engine/message_normalization.h"
#include "engine/model/spam_model.h"
#include "tests/support/test_environment.h"
#include "tools/quelltrain/labeled_corpus.h"
#include "tools/quelltrain/linear_training.h"
#include "tools/quelltrain/vocabulary_selection.h"

namespace quell {
namespace {

const std::filesystem::path kData = QUELL_TRAINING_DATA;

TEST(UnmaskDigits, ReplacesMaskRunsButNotWords) {
  std::mt19937_64 rng(1);
  std::string out = unmaskDigits("x月xx日 尾号xxxx box wx xG qqxxxxxx xx", rng);
  EXPECT_EQ(out.find('x'), out.find("box") + 2);
  EXPECT_NE(out.find("box wx xG qq"), std::string::npos);
  EXPECT_EQ(out.find("qqxxx"), std::string::npos);  // a long run is a mask even beside letters
  EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(out[0])));
  EXPECT_EQ(out.size(), std::string("x月xx日 尾号xxxx box wx xG qqxxxxxx xx").size());
}

TEST(SelectVocabulary, LeavesOutNumbersAndMasksAndSortsByCodePoint) {
  std::vector<TokenizedMessage> messages = {
      {true, 0, {"贷款", "12345", "xxx", "免费", "4，9", "1,000", "１２", "⒈⒉", "150p"}},
      {true, 0, {"贷款", "12345", "xxx", "a", "4，9", "1,000", "１２", "⒈⒉", "150p"}},
      {false, 0, {"明天", "12345", "吃饭", "a"}},
      {false, 0, {"明天", "吃饭", "agne\u0300s"}},
      {false, 1, {"agn\u00e8s", "free"}},
      {true, 1, {"free", "win"}},
  };
  auto vocabulary = selectVocabulary(messages, 2, 100, 2, VocabularyRanking::kAssociation);
  // Numbers, with separators or in other digits, are left out; a word holding digits is not a number.
  EXPECT_EQ(vocabulary, (std::vector<std::string>{"150p", "a", "agn\u00e8s", "free", "吃饭", "明天", "贷款"}));
  auto top = selectVocabulary(messages, 2, 2, 2, VocabularyRanking::kAssociation);
  // The tokens that tell the labels apart best in either corpus: 贷款 and 明天/吃饭 in corpus 0.
  ASSERT_EQ(top.size(), 2u);
  EXPECT_TRUE(std::is_sorted(top.begin(), top.end()));
}

TEST(ReadLabeledFile, ReadsAnOptionalCategoryAndRefusesOtherLines) {
  testing::TemporaryDirectory dir;
  std::ofstream(dir.path() / "good.tsv") << "spam\t中奖了\n\nham\t好的\tpersonal\r\nham\t\tbank\nspam\t空的\t\n";
  std::string error;
  auto good = readLabeledFile(dir.path() / "good.tsv", &error);
  ASSERT_TRUE(good) << error;
  ASSERT_EQ(good->size(), 4u);
  EXPECT_EQ((*good)[0].text, "中奖了");
  EXPECT_EQ((*good)[0].category, "");
  EXPECT_EQ((*good)[1].text, "好的");
  EXPECT_EQ((*good)[1].category, "personal");
  EXPECT_FALSE((*good)[1].spam);
  EXPECT_EQ((*good)[2].text, "");
  EXPECT_EQ((*good)[2].category, "bank");
  EXPECT_EQ((*good)[3].category, "");

  for (const char* bad : {"spam\tok\nmaybe\tnot\n", "spam\tok\nham\ttext\tbank\textra\n", "spam\tok\nham\n"}) {
    std::ofstream(dir.path() / "bad.tsv") << bad;
    EXPECT_FALSE(readLabeledFile(dir.path() / "bad.tsv", &error)) << bad;
    EXPECT_NE(error.find(":2:"), std::string::npos) << error;
  }
}

// A ham margin moves the boundary towards ham by exactly its size: what it calls spam, the plain model
// calls spam too, and a margin beyond every score leaves nothing spam.
TEST(LinearTraining, HamMarginMovesTheBoundaryTowardsHamByItsSize) {
  const std::vector<std::string> entries = {"免费", "好的", "明天", "贷款", "退订"};
  const FeatureVocabulary vocabulary(entries);
  const std::vector<LabeledMessage> messages = {
      {true, "免费贷款退订", ""}, {false, "好的明天", ""}, {true, "贷款免费", ""}, {false, "明天好的", ""},
      {true, "退订", ""},         {false, "好的", ""},     {true, "免费明天", ""}, {false, "明天贷款", ""},
      {true, "贷款退订好的", ""}, {false, "明天免费", ""},
  };
  std::vector<TrainingExample> examples;
  for (const auto& message : messages) examples.push_back({buildTokenCounts(message.text, vocabulary), message.spam});
  TrainingOptions plain;
  plain.c = 10;
  TrainingOptions careful = plain;
  careful.hamMargin = 0.5;
  TrainingOptions blind = plain;
  blind.hamMargin = 50;
  auto a = LinearSpamModel::train(examples, entries, plain);
  auto b = LinearSpamModel::train(examples, entries, careful);
  auto c = LinearSpamModel::train(examples, entries, blind);
  ASSERT_TRUE(a && b && c);
  const auto ca = a->toClassifier(""), cb = b->toClassifier("");
  // The runtime calls labels[0] when the value is positive: towards ham is down when that is spam.
  const double down = ca.labels[0] == "spam" ? 1.0 : -1.0;
  EXPECT_NEAR(down * (ca.biasWeight - cb.biasWeight), 0.5, 1e-12);
  EXPECT_EQ(ca.weights, cb.weights);
  int spamPlain = 0;
  for (const auto& message : messages) {
    const auto counts = buildTokenCounts(message.text, vocabulary);
    spamPlain += a->predictSpam(counts);
    if (b->predictSpam(counts)) {
      EXPECT_TRUE(a->predictSpam(counts)) << message.text;
    }
    EXPECT_FALSE(c->predictSpam(counts)) << message.text;  // far beyond every message's score
  }
  EXPECT_GT(spamPlain, 0);
  TrainingOptions noBias;
  noBias.bias = 0;
  noBias.hamMargin = 0.5;
  EXPECT_FALSE(LinearSpamModel::train({{buildTokenCounts("贷款", vocabulary), true}}, entries, noBias));
}

// Trains on real messages and checks that the runtime, reading the compiled file, predicts exactly what
// liblinear predicts from its own model, for every transform and both solver families.
TEST(LinearTraining, RuntimePredictionsEqualLiblinears) {
  std::string error;
  auto zh = readLabeledFile(kData / "sms-zh" / "dev.tsv", &error);
  auto en = readLabeledFile(kData / "sms-en" / "dev.tsv", &error);
  if (!zh || !en) GTEST_SKIP() << "training data not found at " << kData;
  std::vector<LabeledMessage> messages(zh->begin(), zh->begin() + 2500);
  messages.insert(messages.end(), en->begin(), en->end());
  std::vector<TokenizedMessage> tokenized;
  for (auto& message : messages) {
    message.text = normalizeMessageBody(message.text);
    tokenized.push_back({message.spam, 0, lowercasedWordTokens(message.text)});
  }
  auto entries = selectVocabulary(tokenized, 1, 3000, 2, VocabularyRanking::kFrequency);
  FeatureVocabulary vocabulary(entries);
  std::vector<TrainingExample> examples;
  for (const auto& message : messages) examples.push_back({buildTokenCounts(message.text, vocabulary), message.spam});

  testing::TemporaryDirectory dir;
  for (int solver : {0, 2}) {
    for (auto transform : {FeatureTransform::kValue, FeatureTransform::kLogValue, FeatureTransform::kPresence}) {
      TrainingOptions options;
      options.solver = solver;
      options.c = 1.0;
      options.transform = transform;
      // Train on every other message and compare on all, so that unseen messages are compared too.
      std::vector<TrainingExample> half;
      for (std::size_t i = 0; i < examples.size(); i += 2) half.push_back(examples[i]);
      auto trained = LinearSpamModel::train(half, entries, options);
      ASSERT_TRUE(trained);
      auto modelDir = dir.path() / "m.mlmodelc";
      std::filesystem::create_directories(modelDir);
      std::ofstream(modelDir / kModelFileName, std::ios::binary)
          << compileLinearClassifier(trained->toClassifier("")).value();
      auto loaded = MLModel::modelWithContentsOfURL(modelDir);
      ASSERT_TRUE(loaded);
      QBModel210713 model(loaded.value());
      int disagreements = 0, spam = 0;
      for (const auto& message : messages) {
        bool runtime = isSpamByModel(message.text, model, vocabulary);
        spam += runtime;
        disagreements += runtime != trained->predictSpam(buildTokenCounts(message.text, vocabulary));
      }
      EXPECT_EQ(disagreements, 0) << "solver " << solver << ", transform " << static_cast<int>(transform);
      EXPECT_GT(spam, 100);  // the comparison covers both labels
    }
  }
}

// The program end to end on a small labeled file: it trains, writes both files and judges every --dev file;
// an option value it cannot use is refused before anything is written.
TEST(Quelltrain, TrainsAndJudgesOrRefusesBadValues) {
  testing::TemporaryDirectory dir;
  auto data = dir.path() / "data.tsv";
  {
    std::ofstream out(data);
    for (int i = 0; i < 20; ++i) {
      out << "spam\t恭喜您获得免费贷款，详情回复" << i << "\n";
      out << "ham\t明天一起吃饭吧好的\n";
      out << "ham\t今天天气很好我们去公园\n";
    }
  }
  auto vocabularyOut = (dir.path() / "vocabulary.txt").string();
  auto modelOut = (dir.path() / "model.mlmodelc").string();
  std::vector<std::string> common = {"train", "--vocabulary-out", vocabularyOut, "--model-out", modelOut};
  auto train = [&](std::vector<std::string> options) {
    auto args = common;
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(data.string());
    return testing::runProcess(QUELLTRAIN_PATH, args);
  };

  for (const auto& bad : std::vector<std::vector<std::string>>{{"--transform", "3"},
                                                               {"--transform", "-1"},
                                                               {"--c", "abc"},
                                                               {"--c", "0"},
                                                               {"--repeat", "0"},
                                                               {"--vocabulary-size", "1.5"},
                                                               {"--min-messages", "2x"},
                                                               {"--seed", "-4"}}) {
    auto result = train(bad);
    EXPECT_EQ(result.exitCode, 2) << bad[0] << " " << bad[1];
    EXPECT_NE(result.err.find(bad[0]), std::string::npos) << result.err;
  }
  EXPECT_FALSE(std::filesystem::exists(vocabularyOut));
  EXPECT_FALSE(std::filesystem::exists(modelOut));

  // An output that names a file to read, by whatever path, is refused before anything is written: the
  // labeled messages are never overwritten.
  auto readData = [&] {
    std::ifstream in(data);
    return std::string((std::istreambuf_iterator<char>(in)), {});
  };
  const std::string before = readData();
  const auto sameData = (dir.path() / "." / data.filename()).string();
  for (const auto& clobbering : std::vector<std::vector<std::string>>{
           {"train", "--vocabulary-out", sameData, "--model-out", modelOut, data.string()},
           {"train", "--vocabulary-out", vocabularyOut, "--model-out", sameData, "--dev", data.string(), "other.tsv"},
           {"evaluate", "--scores", sameData, data.string()},
           {"evaluate", "--errors", sameData, data.string()}}) {
    auto refused = testing::runProcess(QUELLTRAIN_PATH, clobbering);
    EXPECT_EQ(refused.exitCode, 2) << clobbering[1] << "\n" << refused.err;
    EXPECT_NE(refused.err.find(sameData), std::string::npos) << refused.err;
  }
  EXPECT_EQ(readData(), before);

  auto result = train({"--transform", "1", "--dev", data.string(), "--dev", data.string()});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_TRUE(MLModel::modelWithContentsOfURL(modelOut));
  // A model just trained is judged over its own vocabulary; without it, the program refuses rather than
  // feed it counts of words it does not know.
  auto evaluated = testing::runProcess(
      QUELLTRAIN_PATH, {"evaluate", "--json", "--model", modelOut, "--vocabulary", vocabularyOut, data.string()});
  ASSERT_EQ(evaluated.exitCode, 0) << evaluated.err;
  EXPECT_EQ(nlohmann::json::parse(evaluated.out)["f1"], 1.0);
  auto unmatched = testing::runProcess(QUELLTRAIN_PATH, {"evaluate", "--model", modelOut, data.string()});
  EXPECT_EQ(unmatched.exitCode, 1);
  EXPECT_NE(unmatched.err.find("rebuild after training"), std::string::npos) << unmatched.err;
  std::ifstream vocabulary(vocabularyOut);
  EXPECT_GT(std::count(std::istreambuf_iterator<char>(vocabulary), {}, '\n'), 5);
  std::size_t judged = 0;
  for (auto at = result.out.find("== "); at != std::string::npos; at = result.out.find("== ", at + 1)) ++judged;
  EXPECT_EQ(judged, 2u) << result.out;
  EXPECT_NE(result.out.find("f1         1.0000"), std::string::npos) << result.out;

  // A repeated file weighs its messages up, but a word met in one message is still no word to learn.
  {
    std::ofstream out(data, std::ios::app);
    out << "spam\tzqxonce 贷款\nspam\tzqxtwice 贷款\nspam\tzqxtwice 免费\n";
  }
  auto readVocabulary = [&] {
    std::ifstream in(vocabularyOut);
    return std::string((std::istreambuf_iterator<char>(in)), {});
  };
  ASSERT_EQ(train({"--repeat", "5"}).exitCode, 0);
  std::string words = readVocabulary();
  EXPECT_EQ(words.find("zqxonce"), std::string::npos);
  EXPECT_NE(words.find("zqxtwice\n"), std::string::npos);
  // So is a file named twice, as when a part of the data is given again to weigh it up.
  ASSERT_EQ(train({data.string(), "--repeat", "3"}).exitCode, 0);
  words = readVocabulary();
  EXPECT_EQ(words.find("zqxonce"), std::string::npos);
  EXPECT_NE(words.find("zqxtwice\n"), std::string::npos);

  // Pairs of Chinese ham need a file named as Chinese.
  auto unnamed = train({"--ham-pairs", "10"});
  EXPECT_EQ(unnamed.exitCode, 1);
  EXPECT_NE(unnamed.err.find("--language zh"), std::string::npos) << unnamed.err;
  EXPECT_EQ(train({"--ham-pairs", "10", "--language", "zh"}).exitCode, 0);
}

// evaluate judges as the filter does, and --errors lists each misjudged message with the filter's reasons.
TEST(Quelltrain, EvaluateWritesEachMisjudgedMessageWithItsScoreAndWords) {
  testing::TemporaryDirectory dir;
  testing::ScopedDataHome home;  // the user's lists play no part in the model's figures
  const std::string spam = "【某某贷】无抵押信用贷款，最快当天放款，额度高利息低，详询客服微信";
  const std::string ham = "好的，我明天下午三点到公司楼下等你";
  std::ofstream(dir.path() / "dev.tsv") << "spam\t" << spam << "\nham\t" << ham << "\nham\t" << spam << "\nspam\t"
                                        << ham << "\n";
  auto errorsFile = dir.path() / "errors.jsonl";
  auto result = testing::runProcess(
      QUELLTRAIN_PATH, {"evaluate", "--json", "--errors", errorsFile.string(), (dir.path() / "dev.tsv").string()});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(nlohmann::json::parse(result.out)["accuracy"], 0.5);
  std::ifstream in(errorsFile);
  std::vector<nlohmann::json> errors;
  for (std::string line; std::getline(in, line);) errors.push_back(nlohmann::json::parse(line));
  ASSERT_EQ(errors.size(), 2u);
  for (const auto& error : errors) {
    const bool junk = error["score"].get<double>() > error["threshold"].get<double>();
    EXPECT_EQ(error["label"], junk ? "ham" : "spam") << error;  // misjudged: the score is on the wrong side
    EXPECT_EQ(error["stage"], "model");
    EXPECT_FALSE(error["words"].empty());
    // The same message through the filter gets the same score.
    auto filter = testing::runProcess(
        QUELLGUARD_PATH, {},
        nlohmann::json({{"id", 1}, {"sender", "1"}, {"messageBody", error["text"]}, {"explain", true}}).dump() + "\n");
    EXPECT_EQ(nlohmann::json::parse(filter.out)["score"], error["score"]);
  }
  EXPECT_EQ(errors[0]["text"], spam);
  auto unwritable = testing::runProcess(
      QUELLTRAIN_PATH, {"evaluate", "--errors", "/nonexistent/dir/e.jsonl", (dir.path() / "dev.tsv").string()});
  EXPECT_EQ(unwritable.exitCode, 1);
  EXPECT_NE(unwritable.err.find("cannot write /nonexistent/dir/e.jsonl"), std::string::npos) << unwritable.err;
}

// With a category column, evaluate counts per label and category: the ham flagged and the spam missed, a
// category that both labels use counted apart per label, messages without a category only in the totals.
TEST(Quelltrain, EvaluateCountsEachCategoryOfEachLabelApart) {
  testing::TemporaryDirectory dir;
  testing::ScopedDataHome home;
  const std::string spam = "【某某贷】无抵押信用贷款，最快当天放款，额度高利息低，详询客服微信";
  const std::string ham = "好的，我明天下午三点到公司楼下等你";
  std::ofstream(dir.path() / "dev.tsv") << "ham\t" << ham << "\tbank\n"
                                        << "ham\t" << spam << "\tbank\n"
                                        << "ham\t" << ham << "\tparcel\n"
                                        << "spam\t" << spam << "\tparcel\n"
                                        << "spam\t" << ham << "\ttrojan\n"
                                        << "spam\t" << spam << "\tloan\n"
                                        << "ham\t" << spam << "\n"
                                        << "spam\t" << ham << "\n";
  auto result = testing::runProcess(QUELLTRAIN_PATH, {"evaluate", "--json", (dir.path() / "dev.tsv").string()});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const auto judged = nlohmann::json::parse(result.out);
  EXPECT_EQ(judged["confusion"], nlohmann::json::parse(R"({"tp": 2, "fp": 2, "tn": 2, "fn": 2})")) << result.out;
  auto categories = judged["categories"];
  auto expected = nlohmann::json::parse(R"([
      {"label": "ham", "category": "bank", "messages": 2, "flagged": 1},
      {"label": "ham", "category": "parcel", "messages": 1, "flagged": 0},
      {"label": "spam", "category": "loan", "messages": 1, "missed": 0},
      {"label": "spam", "category": "parcel", "messages": 1, "missed": 0},
      {"label": "spam", "category": "trojan", "messages": 1, "missed": 1}])");
  EXPECT_EQ(categories, expected) << categories.dump();

  auto text = testing::runProcess(QUELLTRAIN_PATH, {"evaluate", (dir.path() / "dev.tsv").string()});
  ASSERT_EQ(text.exitCode, 0) << text.err;
  EXPECT_NE(text.out.find("confusion  tp 2  fp 2  tn 2  fn 2"), std::string::npos) << text.out;
  const auto ham_ = text.out.find("ham flagged per category"), spam_ = text.out.find("spam missed per category");
  ASSERT_NE(ham_, std::string::npos) << text.out;
  EXPECT_LT(ham_, spam_);
  EXPECT_NE(text.out.find("trojan                 1 of     1  100.00%"), std::string::npos) << text.out;

  // --scores gives every message, in file order, its label, category and distance from the threshold: above 0
  // exactly for what was called spam.
  const auto scoresFile = dir.path() / "scores.tsv";
  auto scored = testing::runProcess(QUELLTRAIN_PATH,
                                    {"evaluate", "--scores", scoresFile.string(), (dir.path() / "dev.tsv").string()});
  ASSERT_EQ(scored.exitCode, 0) << scored.err;
  std::ifstream scores(scoresFile);
  std::vector<std::string> labels, scoredCategories;
  std::size_t above = 0, spamAbove = 0;
  for (std::string line; std::getline(scores, line);) {
    std::istringstream fields(line);
    std::string label, category, score;
    ASSERT_TRUE(std::getline(fields, label, '\t') && std::getline(fields, category, '\t') &&
                std::getline(fields, score))
        << line;
    labels.push_back(label);
    scoredCategories.push_back(category);
    if (std::stod(score) > 0) {
      ++above;
      if (label == "spam") ++spamAbove;
    }
  }
  EXPECT_EQ(labels, (std::vector<std::string>{"ham", "ham", "ham", "spam", "spam", "spam", "ham", "spam"}));
  EXPECT_EQ(scoredCategories, (std::vector<std::string>{"bank", "bank", "parcel", "parcel", "trojan", "loan", "", ""}));
  EXPECT_EQ(above, 4u);  // tp 2 + fp 2
  EXPECT_EQ(spamAbove, 2u);

  // A file without categories reports none.
  std::ofstream(dir.path() / "plain.tsv") << "ham\t" << ham << "\nspam\t" << spam << "\n";
  auto plain = testing::runProcess(QUELLTRAIN_PATH, {"evaluate", "--json", (dir.path() / "plain.tsv").string()});
  EXPECT_FALSE(nlohmann::json::parse(plain.out).contains("categories")) << plain.out;
}

}  // namespace
}  // namespace quell
