#include "wallet/PointsSubject.h"
#include "storage/StoredNames.h"

namespace twig {

const ModelClass& PointsSubject::staticModelClass() {
  using M = PointsSubject;
  static const ModelClass modelClass(stored::kPointsSubjectClass,
                                     {
                                         numberField("subjectId", &M::subjectId),
                                         textField("name", &M::name),
                                         numberField("type", &M::type),
                                         textField("iconUrl", &M::iconUrl),
                                         textField("thisDN", &M::thisDN),
                                         numberField("familyId", &M::familyId),
                                         numberField("bonuspoint", &M::bonuspoint),
                                         textField("_description", &M::_description, "description"),
                                     },
                                     [] { return std::make_unique<M>(); });
  return modelClass;
}

}  // namespace twig
