#include "wallet/HouseworkStore.h"

#include "api/ApiClient.h"
#include "api/Utils.h"
#include "frame/Resources.h"
#include "frame/ScreenHost.h"
#include "frame/ScreenRegistry.h"
#include "frame/Services.h"
#include "identity/ChildIdentity.h"
#include "platform/Ports.h"

namespace twig {

HouseworkStore::Entries HouseworkStore::houseworkOf(const std::optional<Json>& answer,
                                                    std::optional<Error>& lastError) {
  Entries kept;
  if (!answer || !answer->is_object()) return kept;
  const auto subjects = answer->find("subjects");
  if (subjects == answer->end() || !subjects->is_array()) return kept;
  for (const auto& subject : *subjects) {
    auto entry = Model::fetchModelOfClass<PointsSubject>(subject);
    if (!entry) {
      lastError = Error{"error", 0, "a catalogue entry is no record"};
      continue;
    }
    const std::int64_t type = entry->type ? Utils::integerValue(*entry->type) : 0;
    if (type == 1 || type == 3) continue;
    kept.push_back(std::move(*entry));
  }
  return kept;
}

Json HouseworkStore::defaultCatalogue() {
  const auto text = Resources::find("json_sujects", "txt");
  if (!text) {
    ScreenRegistry::reportPackagingError("the resource json_sujects.txt is missing");
    return Json::object();
  }
  const Json catalogue = Json::parse(*text, nullptr, false);
  return catalogue.is_discarded() ? Json::object() : catalogue;
}

void HouseworkStore::requestHouseWorkItemsCompletion(const WalletContext& context,
                                                     CatalogueCompletion completion) {
  const std::string path = "bills/subjects/thisDevice/" + context.child.deviceId();
  context.services.api.requestWithPath(
      path, Json{{"type", 2}}, HttpMethod::Get,
      [completion](const ApiClient::Operation&, const std::optional<Json>& answer) {
        std::optional<Error> error;
        const Entries entries = houseworkOf(answer, error);
        if (completion) completion(entries, error);
      },
      [completion](const ApiClient::Operation&, const Error&) {
        std::optional<Error> ignored;
        const Entries entries = houseworkOf(defaultCatalogue(), ignored);
        if (completion) completion(entries, std::nullopt);
      });
}

}  // namespace twig
