#include "tools/quelltrain/linear_training.h"

#include <linear.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/unicode_text.h"

namespace quell {

namespace {

constexpr double kSpam = 1.0, kHam = -1.0;

void quiet(const char*) {}

}  // namespace

std::vector<feature_node> LinearSpamModel::nodes(const TokenCounts& counts) const {
  std::vector<feature_node> x;
  for (const auto& [token, count] : counts.entries()) {
    auto it = index_.find(toNfc(token));
    if (it != index_.end()) x.push_back({it->second, transformFeature(transform_, count)});
  }
  std::sort(x.begin(), x.end(), [](const feature_node& a, const feature_node& b) { return a.index < b.index; });
  if (model_ && model_->bias > 0) x.push_back({static_cast<int>(vocabulary_.size()) + 1, model_->bias});
  x.push_back({-1, 0});
  return x;
}

std::unique_ptr<LinearSpamModel> LinearSpamModel::train(const std::vector<TrainingExample>& examples,
                                                        std::vector<std::string> vocabulary,
                                                        const TrainingOptions& options) {
  std::unique_ptr<LinearSpamModel> result(new LinearSpamModel);
  result->transform_ = options.transform;
  result->vocabulary_ = std::move(vocabulary);
  for (std::size_t i = 0; i < result->vocabulary_.size(); ++i)
    result->index_.emplace(toNfc(result->vocabulary_[i]), static_cast<int>(i) + 1);

  const int featureCount = static_cast<int>(result->vocabulary_.size());
  std::vector<std::vector<feature_node>> rows;
  std::vector<feature_node*> x;
  std::vector<double> y;
  rows.reserve(examples.size());
  for (const auto& example : examples) {
    auto row = result->nodes(example.counts);
    // nodes() adds the bias once a model exists; during training it is added here.
    if (options.bias > 0) row.insert(row.end() - 1, feature_node{featureCount + 1, options.bias});
    rows.push_back(std::move(row));
    y.push_back(example.spam ? kSpam : kHam);
  }
  for (auto& row : rows) x.push_back(row.data());

  problem prob{};
  prob.l = static_cast<int>(rows.size());
  prob.n = featureCount + (options.bias > 0 ? 1 : 0);
  prob.y = y.data();
  prob.x = x.data();
  prob.bias = options.bias > 0 ? options.bias : -1;

  int weightLabel[] = {static_cast<int>(kSpam)};
  double weight[] = {options.spamWeight};
  parameter param{};
  param.solver_type = options.solver;
  param.C = options.c;
  param.eps = options.solver == L2R_LR || options.solver == L2R_L2LOSS_SVC ? 0.01 : 0.1;
  param.nr_weight = 1;
  param.weight_label = weightLabel;
  param.weight = weight;
  param.p = 0.1;
  if (const char* problem = check_parameter(&prob, &param)) {
    std::fprintf(stderr, "quelltrain: liblinear refuses the parameters: %s\n", problem);
    return nullptr;
  }
  if (options.hamMargin != 0 && options.bias <= 0) {
    std::fprintf(stderr, "quelltrain: a ham margin needs a bias term\n");
    return nullptr;
  }
  set_print_string_function(quiet);
  std::srand(options.seed);
  model* trained = ::train(&prob, &param);
  // liblinear calls its first label when the decision value is positive: lowering the value makes spam
  // harder to reach only when that label is spam.
  const double towardsHam = trained->label[0] == static_cast<int>(kSpam) ? -1.0 : 1.0;
  trained->w[trained->nr_feature] += towardsHam * options.hamMargin / trained->bias;
  result->model_ = trained;
  return result;
}

LinearSpamModel::~LinearSpamModel() {
  if (model_) free_and_destroy_model(&model_);
}

bool LinearSpamModel::predictSpam(const TokenCounts& counts) const {
  auto x = nodes(counts);
  return ::predict(model_, x.data()) == kSpam;
}

LinearClassifier LinearSpamModel::toClassifier(const std::string& description) const {
  LinearClassifier classifier;
  classifier.transform = transform_;
  classifier.inputName = "text";
  classifier.labelOutputName = "rating";
  classifier.probabilityOutputName = "ratingProbability";
  // liblinear predicts its first label when the decision value is positive.
  bool firstIsSpam = model_->label[0] == static_cast<int>(kSpam);
  classifier.labels[0] = firstIsSpam ? "spam" : "ham";
  classifier.labels[1] = firstIsSpam ? "ham" : "spam";
  classifier.featureNames = vocabulary_;
  const int n = model_->nr_feature;
  classifier.weights.assign(model_->w, model_->w + n);
  classifier.biasValue = model_->bias > 0 ? model_->bias : 0;
  classifier.biasWeight = model_->bias > 0 ? model_->w[n] : 0;
  classifier.description = description;
  return classifier;
}

}  // namespace quell
