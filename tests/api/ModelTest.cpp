#include "api/Model.h"

#include <gtest/gtest.h>

namespace twig {
namespace {

// A model with one member of every kind, and a member renamed from "description" the way the
// housework, bill and catalogue models rename it.
class SampleModel final : public Model {
 public:
  std::optional<std::string> name;
  std::optional<Json> type;
  std::optional<Json> pictures;
  std::int64_t clientType = 2;
  double battery = -1;
  bool enabled = false;
  std::optional<std::string> _description;

  static const ModelClass& staticModelClass() {
    static const ModelClass modelClass(
        "SampleModel",
        {
            textField("name", &SampleModel::name),
            numberField("type", &SampleModel::type),
            valueField("pictures", &SampleModel::pictures),
            integerField("clientType", &SampleModel::clientType),
            realField("battery", &SampleModel::battery),
            booleanField("enabled", &SampleModel::enabled),
            textField("_description", &SampleModel::_description, "description"),
        },
        [] { return std::make_unique<SampleModel>(); });
    return modelClass;
  }
  const ModelClass& modelClass() const override { return staticModelClass(); }
};

TEST(Model, MapsMembersByNameAndRenamesDescription) {
  const Json dictionary = Json::parse(R"({
    "name": "刺猬", "type": 2, "pictures": [{"url": "a"}], "clientType": 7, "battery": 0.5,
    "enabled": true, "description": "扫地", "_description": "ignored", "unknown": 1})");
  const auto model = Model::fetchModelOfClass<SampleModel>(dictionary);
  ASSERT_TRUE(model);
  EXPECT_EQ(model->name, "刺猬");
  EXPECT_EQ(model->type, Json(2));
  EXPECT_EQ(model->pictures, Json::parse(R"([{"url":"a"}])"));
  EXPECT_EQ(model->clientType, 7);
  EXPECT_DOUBLE_EQ(model->battery, 0.5);
  EXPECT_TRUE(model->enabled);
  EXPECT_EQ(model->_description, "扫地");
  EXPECT_EQ(SampleModel::staticModelClass().JSONKeyPathsByPropertyKey(),
            (std::map<std::string, std::string>{{"_description", "description"}}));
}

TEST(Model, NullsUnsetObjectsAndLeavePlainNumbers) {
  SampleModel model;
  model.name = "x";
  model.type = Json(1);
  model.clientType = 2;
  model.battery = 0.3;
  model.enabled = true;
  model.applyDictionary(Json::parse(
      R"({"name":null,"type":null,"clientType":null,"battery":null,"enabled":null,"description":null})"));
  EXPECT_FALSE(model.name);
  EXPECT_FALSE(model.type);
  EXPECT_EQ(model.clientType, 2);
  EXPECT_DOUBLE_EQ(model.battery, 0.3);
  EXPECT_TRUE(model.enabled);
}

TEST(Model, MissingMembersStayAndWrongTypesAreIgnored) {
  const auto model = Model::fetchModelOfClass<SampleModel>(
      Json::parse(R"({"name": 12, "type": "two", "clientType": "9", "enabled": 1})"));
  ASSERT_TRUE(model);
  EXPECT_EQ(model->name, "12");  // numbers sent for text arrive as their text
  EXPECT_FALSE(model->type);
  EXPECT_EQ(model->clientType, 2);
  EXPECT_TRUE(model->enabled);
  EXPECT_FALSE(model->pictures);
  EXPECT_FALSE(Model::fetchModelOfClass<SampleModel>(Json::array()).has_value());
  EXPECT_FALSE(Model::fetchModelOfClass<SampleModel>(Json("text")).has_value());
  EXPECT_EQ(Model::fetchModelOfClass(SampleModel::staticModelClass(), Json(nullptr)), nullptr);
}

TEST(Model, FetchFromModelWritesEveryMemberInOrderWithUnsetAsNull) {
  SampleModel model;
  model.name = "a";
  model._description = "d";
  const Json dictionary = Model::fetchFromModel(model);
  EXPECT_EQ(dictionary.dump(),
            R"({"name":"a","type":null,"pictures":null,"clientType":2,"battery":-1.0,"enabled":false,)"
            R"("description":"d"})");
  const auto back = Model::fetchModelOfClass<SampleModel>(dictionary);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->_description, "d");
}

TEST(Model, ArchivesRestoreTheWholeModel) {
  SampleModel model;
  model.name = "n";
  model.type = Json(1.5);
  model.pictures = Json::parse(R"([1,{"x":null}])");
  model.clientType = -4;
  model.battery = 0.25;
  model.enabled = true;
  model._description = "";
  const Json archived = model.archive();
  EXPECT_EQ(archived["class"], "SampleModel");
  EXPECT_TRUE(Model::isArchive(archived));

  const auto typed = Model::unarchiveAs<SampleModel>(Json::parse(archived.dump()));
  ASSERT_TRUE(typed);
  EXPECT_EQ(typed->name, model.name);
  EXPECT_EQ(typed->type, model.type);
  EXPECT_EQ(typed->pictures, model.pictures);
  EXPECT_EQ(typed->clientType, -4);
  EXPECT_DOUBLE_EQ(typed->battery, 0.25);
  EXPECT_TRUE(typed->enabled);
  EXPECT_EQ(typed->_description, "");
}

TEST(Model, ForeignOrDamagedArchivesAreRefused) {
  for (const char* text : {R"({"class":"Other","members":{}})", R"({"class":"SampleModel"})", R"([1,2])",
                           R"({"class":"SampleModel","members":[]})"})
    EXPECT_FALSE(Model::unarchiveAs<SampleModel>(Json::parse(text))) << text;
}

}  // namespace
}  // namespace twig
