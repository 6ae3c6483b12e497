#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "api/TWIGError.h"
#include "wallet/TWIGBonuspointsMondel.h"
#include "wallet/TWIGTotalModel.h"

namespace twig {

// The housework catalogue: the family's subjects from the service, or the shipped default
// ("json_sujects.txt") when the service cannot be reached, so that the child always sees one.
class TWIGGanJiaWuStore {
 public:
  using Entries = std::vector<TWIGBonuspointsMondel>;
  using CatalogueCompletion =
      std::function<void(const Entries& entries, const std::optional<TWIGError>& error)>;

  // GET "bills/subjects/thisDevice/<device>" with "type" 2. The entries of types 1 and 3 are left
  // out; the error is that of the last entry that was no record.
  static void requestHouseWorkItemsCompletion(CatalogueCompletion completion);
  // GET "bills/bonuspoints/statistics/all/device/<device>"; no screen uses it.
  static void requestHouseworksBonuspointsCompletion(
      std::function<void(const std::optional<TWIGTotalModel>&, const std::optional<TWIGError>&)> completion);

  // The housework entries of a catalogue answer ({"subjects": [...]}), in order.
  static Entries houseworkOf(const std::optional<Json>& answer, std::optional<TWIGError>& lastError);
  // The shipped catalogue.
  static Json defaultCatalogue();
};

}  // namespace twig
