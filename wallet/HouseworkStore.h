#pragma once

#include "wallet/WalletContext.h"

#include <functional>
#include <optional>
#include <vector>

#include "api/Error.h"
#include "wallet/PointsSubject.h"
#include "wallet/PointsTotal.h"

namespace twig {

// The housework catalogue: the family's subjects from the service, or the shipped default
// ("json_sujects.txt") when the service cannot be reached, so that the child always sees one.
class HouseworkStore {
 public:
  using Entries = std::vector<PointsSubject>;
  using CatalogueCompletion = std::function<void(const Entries& entries, const std::optional<Error>& error)>;

  // GET "bills/subjects/thisDevice/<device>" with "type" 2. The entries of types 1 and 3 are left
  // out; the error is that of the last entry that was no record.
  static void requestHouseWorkItemsCompletion(const WalletContext& context, CatalogueCompletion completion);

  // The housework entries of a catalogue answer ({"subjects": [...]}), in order.
  static Entries houseworkOf(const std::optional<Json>& answer, std::optional<Error>& lastError);
  // The shipped catalogue.
  static Json defaultCatalogue();
};

}  // namespace twig
