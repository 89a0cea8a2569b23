// Training a linear spam classifier with liblinear on bags of words, and turning it into a compiled model.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/features/token_counts.h"
#include "platform/ml_model_file.h"

struct model;
struct feature_node;

namespace quell {

struct TrainingExample {
  TokenCounts counts;
  bool spam;
};

struct TrainingOptions {
  int solver = 2;           // liblinear's solver type; 2 is the L2-regularised L2-loss linear SVM (primal)
  double c = 0.1;           // liblinear's cost
  double spamWeight = 1.0;  // cost multiplier for the spam class
  double bias = 1.0;        // the bias feature's value; 0 for none
  unsigned seed = 42;       // the solvers that shuffle use the C library's generator, seeded with this
  // How far above the boundary liblinear learned a message must score to be called spam: the bias weight is
  // moved by this much after training (it needs a bias term). Precision first: a blocked bank alert costs a
  // person far more than a spam let through.
  double hamMargin = 0;
  // How counts enter the model. Presence works best here: a word said twice is hardly more spam.
  FeatureTransform transform = FeatureTransform::kPresence;
};

// A trained liblinear model over a fixed vocabulary (feature i + 1 is vocabulary entry i).
class LinearSpamModel {
 public:
  // Trains on examples; vocabulary must be sorted and unique up to canonical equivalence.
  static std::unique_ptr<LinearSpamModel> train(const std::vector<TrainingExample>& examples,
                                                std::vector<std::string> vocabulary, const TrainingOptions& options);
  ~LinearSpamModel();

  // liblinear's own prediction for one bag of words.
  bool predictSpam(const TokenCounts& counts) const;
  // The model in the form the runtime loads, with the shipped model's input and output names.
  LinearClassifier toClassifier(const std::string& description) const;

 private:
  LinearSpamModel() = default;
  std::vector<::feature_node> nodes(const TokenCounts& counts) const;

  model* model_ = nullptr;
  FeatureTransform transform_ = FeatureTransform::kValue;
  std::vector<std::string> vocabulary_;
  std::unordered_map<std::string, int> index_;  // NFC token -> feature index (1-based)
};

}  // namespace quell
