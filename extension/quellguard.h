// Quellguard: the filter extension's principal class.
//
// For each incoming message it reaches a verdict offline, in a fixed order where the first decision wins:
// missing sender or body -> none; number whitelist -> none; number blacklist -> junk; keyword whitelist
// (on the normalised body) -> none; keyword blacklist -> junk; otherwise the model. Junk is answered at
// once; everything else is deferred to the network service and then answered none, whatever the service
// says. It keeps no state between queries and may be called from any thread.
#pragma once

#include "platform/message_filter.h"

namespace quell {

// The offline answer for one message: only None and Junk are ever produced.
using FilterVerdict = ILMessageFilterAction;

class Quellguard : public ILMessageFilterExtension, public ILMessageFilterQueryHandling {
 public:
  static constexpr const char* kDeferralFailurePrefix = "Error deferring query request to network: ";

  FilterVerdict offlineVerdict(const ILMessageFilterQueryRequest& request) const;

  void handleQueryRequest(const ILMessageFilterQueryRequest& request, ILMessageFilterExtensionContext& context,
                          ILMessageFilterQueryCompletion completion) override;
};

}  // namespace quell
