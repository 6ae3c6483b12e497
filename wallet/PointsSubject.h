#pragma once

#include <optional>
#include <string>

#include "api/Model.h"
#include "platform/Json.h"

namespace twig {

// An entry of the family's subject catalogue: what a housework task (or another kind of bill) is
// worth. `type` 2 is housework; 1 and 3 are the special reward and the exchange.
class PointsSubject final : public Model {
 public:
  std::optional<Json> subjectId;
  std::optional<std::string> name;
  std::optional<Json> type;
  std::optional<std::string> iconUrl;
  std::optional<std::string> thisDN;
  std::optional<Json> familyId;
  std::optional<Json> bonuspoint;
  std::optional<std::string> _description;  // JSON "description"

  static const ModelClass& staticModelClass();
  const ModelClass& modelClass() const override { return staticModelClass(); }
};

}  // namespace twig
