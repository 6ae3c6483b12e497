#include "wallet/TWIGGanJiaWuStore.h"

#include "api/TWIGRequest.h"
#include "api/TWIGUtils.h"
#include "frame/Resources.h"
#include "frame/ScreenRegistry.h"
#include "identity/TWIGChildUser.h"

namespace twig {

TWIGGanJiaWuStore::Entries TWIGGanJiaWuStore::houseworkOf(const std::optional<Json>& answer,
                                                          std::optional<TWIGError>& lastError) {
  Entries kept;
  if (!answer || !answer->is_object()) return kept;
  const auto subjects = answer->find("subjects");
  if (subjects == answer->end() || !subjects->is_array()) return kept;
  for (const auto& subject : *subjects) {
    auto entry = TWIGBaseModel::fetchModelOfClass<TWIGBonuspointsMondel>(subject);
    if (!entry) {
      lastError = TWIGError{"error", 0, "a catalogue entry is no record"};
      continue;
    }
    const std::int64_t type = entry->type ? TWIGUtils::integerValue(*entry->type) : 0;
    if (type == 1 || type == 3) continue;
    kept.push_back(std::move(*entry));
  }
  return kept;
}

Json TWIGGanJiaWuStore::defaultCatalogue() {
  const auto text = Resources::find("json_sujects", "txt");
  if (!text) {
    ScreenRegistry::reportPackagingError("the resource json_sujects.txt is missing");
    return Json::object();
  }
  const Json catalogue = Json::parse(*text, nullptr, false);
  return catalogue.is_discarded() ? Json::object() : catalogue;
}

void TWIGGanJiaWuStore::requestHouseWorkItemsCompletion(CatalogueCompletion completion) {
  const std::string path =
      "bills/subjects/thisDevice/" + TWIGChildUser::sharedChildUser().user_childDeviceId();
  TWIGRequest::sharedRequest().requestWithPath(
      path, Json{{"type", 2}}, HttpMethod::Get,
      [completion](const TWIGRequest::Operation&, const std::optional<Json>& answer) {
        std::optional<TWIGError> error;
        const Entries entries = houseworkOf(answer, error);
        if (completion) completion(entries, error);
      },
      [completion](const TWIGRequest::Operation&, const TWIGError&) {
        std::optional<TWIGError> ignored;
        const Entries entries = houseworkOf(defaultCatalogue(), ignored);
        if (completion) completion(entries, std::nullopt);
      });
}

void TWIGGanJiaWuStore::requestHouseworksBonuspointsCompletion(
    std::function<void(const std::optional<TWIGTotalModel>&, const std::optional<TWIGError>&)> completion) {
  const std::string path =
      "bills/bonuspoints/statistics/all/device/" + TWIGChildUser::sharedChildUser().user_childDeviceId();
  TWIGRequest::sharedRequest().requestWithPath(
      path, std::nullopt, HttpMethod::Get,
      [completion](const TWIGRequest::Operation&, const std::optional<Json>& answer) {
        const auto statistics =
            answer ? TWIGBaseModel::fetchModelOfClass<TWIGTotalModel>(*answer) : std::nullopt;
        if (!completion) return;
        if (statistics) {
          completion(statistics, std::nullopt);
        } else {
          completion(std::nullopt, TWIGError{"error", 0, "the statistics answer is no record"});
        }
      },
      [completion](const TWIGRequest::Operation&, const TWIGError& error) {
        if (completion) completion(std::nullopt, error);
      });
}

}  // namespace twig
