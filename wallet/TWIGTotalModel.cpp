#include "wallet/TWIGTotalModel.h"

namespace twig {

const ModelClass& TWIGTotalModel::staticModelClass() {
  using M = TWIGTotalModel;
  static const ModelClass modelClass("TWIGTotalModel",
                                     {
                                         numberField("total", &M::total),
                                         numberField("currentMonth", &M::currentMonth),
                                         numberField("currentWeek", &M::currentWeek),
                                         numberField("preMonth", &M::preMonth),
                                         numberField("preWeek", &M::preWeek),
                                     },
                                     [] { return std::make_unique<M>(); });
  return modelClass;
}

}  // namespace twig
