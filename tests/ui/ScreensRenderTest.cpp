// Every screen in each of its main states draws without a QML warning, shows its key texts, and
// draws Chinese with real glyphs.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QQuickItem>
#include <QQuickWindow>

#include "ui/ScreenshotRenderer.h"

namespace twig {
namespace {

std::vector<std::string> fixtureNames() {
  std::vector<std::string> names;
  for (const auto& fixture : ScreenshotRenderer::shippedFixtures())
    names.push_back(fixture.value("name", ""));
  return names;
}

Json fixtureNamed(const std::string& name) {
  for (const auto& fixture : ScreenshotRenderer::shippedFixtures()) {
    if (fixture.value("name", "") == name) return fixture;
  }
  return Json();
}

QQuickItem* findItem(QQuickItem* item, const QString& name) {
  if (item == nullptr) return nullptr;
  if (item->objectName() == name) return item;
  for (QQuickItem* child : item->childItems()) {
    if (QQuickItem* found = findItem(child, name)) return found;
  }
  return nullptr;
}

class ScreenRender : public ::testing::TestWithParam<std::string> {};

TEST_P(ScreenRender, DrawsWithoutWarningsAndShowsItsTexts) {
  const Json fixture = fixtureNamed(GetParam());
  ASSERT_TRUE(fixture.is_object());
  ScreenshotRenderer renderer(390, 844);
  const auto shot = renderer.render(fixture);
  EXPECT_TRUE(shot.warnings.isEmpty()) << shot.warnings.join("\n").toStdString();
  EXPECT_TRUE(shot.missing.isEmpty()) << "missing: " << shot.missing.join(", ").toStdString()
                                      << "\nshown: " << shot.texts.join(" | ").toStdString();
  ASSERT_FALSE(shot.image.isNull());
  EXPECT_EQ(shot.image.width(), 390);
  EXPECT_EQ(shot.image.height(), 844);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, ScreenRender, ::testing::ValuesIn(fixtureNames()),
                         [](const ::testing::TestParamInfo<std::string>& param) {
                           std::string name = param.param;
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

TEST(ScreenRenderChecks, EveryScreenOfTheCatalogueHasAFixture) {
  std::set<std::string> drawn;
  for (const auto& fixture : ScreenshotRenderer::shippedFixtures())
    drawn.insert(fixture.value("className", ""));
  for (const char* screen :
       {"BindingScreen", "InstallScreen", "HomeScreen", "AboutScreen", "LicenceScreen", "NoNetworkScreen",
        "LockScreen", "WalletScreen", "HouseworkScreen", "ExchangeScreen", "SpecialRewardScreen",
        "PhotoPickerScreen", "PhotoDetailScreen", "PhotoViewerScreen"}) {
    EXPECT_EQ(drawn.count(screen), 1u) << screen;
  }
}

TEST(ScreenRenderChecks, TheChineseTitleIsDrawnWithRealGlyphs) {
  ScreenshotRenderer renderer(390, 844);
  const auto shot = renderer.render(fixtureNamed("home"));
  QQuickItem* title = findItem(renderer.window()->contentItem(), "navigationTitle");
  ASSERT_NE(title, nullptr);
  const QString text = title->property("text").toString();
  ASSERT_EQ(text, QString::fromUtf8("刺猬家"));
  // The font has a glyph for every character: no empty boxes.
  const QFontMetrics metrics(title->property("font").value<QFont>());
  for (const QChar character : text)
    EXPECT_TRUE(metrics.inFont(character)) << static_cast<int>(character.unicode());
  // And the glyphs are on the picture: white ink on the bar where the title stands.
  const QRectF box = title->mapRectToScene(QRectF(0, 0, title->width(), title->height()));
  int ink = 0;
  for (int y = static_cast<int>(box.top()); y < static_cast<int>(box.bottom()); ++y) {
    for (int x = static_cast<int>(box.left()); x < static_cast<int>(box.right()); ++x) {
      if (qGray(shot.image.pixel(x, y)) > 230) ++ink;
    }
  }
  EXPECT_GT(ink, 60) << "the title's box holds " << ink << " white pixels";
  EXPECT_GT(box.width(), 40);
}

void collectTextItems(QQuickItem* item, std::vector<QQuickItem*>& found) {
  if (item == nullptr) return;
  if (item->property("textFormat").isValid() && item->property("text").isValid()) found.push_back(item);
  for (QQuickItem* child : item->childItems()) collectTextItems(child, found);
}

// Names and texts come from outside (desktop entries, the service, the parent): markup in them is
// shown as the characters it is, never drawn as markup (a remote picture, a link).
TEST(ScreenRenderChecks, MarkupInOutsideTextIsShownAsItStands) {
  Json fixture = fixtureNamed("housework");
  ASSERT_TRUE(fixture.is_object());
  const std::string hostile = R"(<b>洗碗</b><img src="http://example.invalid/track.png">)";
  fixture["state"]["worksList"][0]["name"] = hostile;
  fixture["expect"] = Json::array({hostile});
  ScreenshotRenderer renderer(390, 844);
  const auto shot = renderer.render(fixture);
  EXPECT_TRUE(shot.missing.isEmpty()) << shot.texts.join(" | ").toStdString();
  std::vector<QQuickItem*> texts;
  collectTextItems(renderer.window()->contentItem(), texts);
  int withMarkup = 0;
  for (QQuickItem* text : texts) {
    if (!text->property("text").toString().contains('<')) continue;
    ++withMarkup;
    EXPECT_EQ(text->property("textFormat").toInt(), 0 /* Text.PlainText */)
        << text->property("text").toString().toStdString();
  }
  EXPECT_GE(withMarkup, 1);
}

}  // namespace
}  // namespace twig
