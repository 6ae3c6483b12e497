#include "ui/ScreenshotRenderer.h"

#include <QColor>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <mutex>

#include "frame/ViewModel.h"
#include "platform/Ports.h"
#include "platform/SystemClock.h"
#include "platform/linux/NullAnalytics.h"
#include "screens/ScreenShapes.h"
#include "ui/FrontEnd.h"
#include "ui/QtMainLoop.h"
#include "ui/QuickScreenHost.h"

namespace twig {

namespace {

// The shape of a fixture's screen; a class that no screen has gets the bare bar's fields.
const StateShape& fixtureShape(const std::string& className) {
  static const StateShape unknown{};
  const StateShape* shape = screenShapeOf(className);
  return shape != nullptr ? *shape : unknown;
}

// A screen drawn from a fixture's state, in the fields its view model declares; it has no actions.
class FixtureScreen final : public ViewModel {
 public:
  FixtureScreen(const std::string& className, Json state)
      : ViewModel(className, fixtureShape(className)), fixture_(std::move(state)) {}

  // What in the fixture its view model could never show (each is left out of the picture).
  std::vector<std::string> mismatches() const {
    std::vector<std::string> found;
    if (screenShapeOf(className()) == nullptr) found.push_back("no screen is called " + className());
    for (auto& why : shape().mismatches(fixture_)) found.push_back(className() + ": " + why);
    return found;
  }

 protected:
  void onLoad() override {
    for (auto it = fixture_.begin(); it != fixture_.end(); ++it)
      if (shape().mismatch(it.key(), *it).empty()) setState(it.key(), *it);
  }

 private:
  Json fixture_;
};

// QML warnings of the picture being drawn. Qt calls the handler on any thread.
std::mutex warningsMutex;
QStringList* collectedWarnings = nullptr;

void collectWarning(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtDebugMsg || type == QtInfoMsg) return;
  std::lock_guard lock(warningsMutex);
  if (collectedWarnings != nullptr) collectedWarnings->push_back(message);
  std::fprintf(stderr, "%s\n", qPrintable(message));
}

// Replaces "$PICTURES/" in every text of a fixture.
Json withPictures(const Json& value, const std::string& folder) {
  if (value.is_string()) {
    std::string text = value.get<std::string>();
    for (auto at = text.find("$PICTURES/"); at != std::string::npos; at = text.find("$PICTURES/"))
      text.replace(at, 10, folder + "/");
    return text;
  }
  if (value.is_array() || value.is_object()) {
    Json copy = value;
    for (auto& element : copy) element = withPictures(element, folder);
    return copy;
  }
  return value;
}

// Sample photos: a sky over a meadow with a sun, and a few others of other colours.
void drawSamplePictures(const QString& folder) {
  const QColor skies[] = {QColor("#7ec8f0"), QColor("#f7c59f"), QColor("#b7e4c7"), QColor("#cdb4db")};
  for (int i = 0; i < 4; ++i) {
    QImage image(640, 480, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(image.rect(), skies[i]);
    painter.fillRect(QRect(0, 320, 640, 160), QColor("#6a994e"));
    painter.setBrush(QColor("#ffd166"));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPoint(480 - i * 60, 110), 60, 60);
    painter.end();
    image.save(folder + QStringLiteral("/photo%1.png").arg(i + 1));
  }
}

void collectTexts(QQuickItem* item, QStringList& texts) {
  if (item == nullptr || !item->isVisible()) return;
  const QVariant text = item->property("text");
  if (text.isValid() && text.canConvert<QString>() && !text.toString().isEmpty())
    texts.push_back(text.toString());
  for (QQuickItem* child : item->childItems()) collectTexts(child, texts);
}

}  // namespace

struct ScreenshotRenderer::Installed {
  SystemClock clock;
  QtMainLoop loop;
  NullAnalytics analytics;
  QTemporaryDir pictures;
};

ScreenshotRenderer::ScreenshotRenderer(int width, int height) : installed_(std::make_unique<Installed>()) {
  ui::useProjectFont();
  pictures_ = installed_->pictures.path().toStdString();
  drawSamplePictures(installed_->pictures.path());
  host_ = std::make_unique<QuickScreenHost>();
  host_->setAnalytics(&installed_->analytics);
  engine_ = std::make_unique<QQmlApplicationEngine>();
  qInstallMessageHandler(collectWarning);
  window_ = ui::loadWindow(*engine_, *host_, width, height);
}

ScreenshotRenderer::~ScreenshotRenderer() {
  qInstallMessageHandler(nullptr);
  engine_.reset();
  host_.reset();
}

Json ScreenshotRenderer::shippedFixtures() {
  QFile file(QStringLiteral(":/twig/screenshots/fixtures.json"));
  if (!file.open(QIODevice::ReadOnly)) return Json::array();
  const QByteArray bytes = file.readAll();
  return Json::parse(bytes.constData(), bytes.constData() + bytes.size(), nullptr, false);
}

ScreenshotRenderer::Shot ScreenshotRenderer::render(const Json& rawFixture) {
  const Json fixture = withPictures(rawFixture, pictures_);
  Shot shot;
  shot.name = fixture.value("name", std::string("screen"));
  {
    std::lock_guard lock(warningsMutex);
    collectedWarnings = &shot.warnings;
  }
  if (window_ == nullptr) {
    shot.warnings.push_back(QStringLiteral("the window did not load"));
  } else {
    host_->hideOverlay();
    while (host_->openAlert()) host_->clickAlert(0);
    host_->hideNoNetworkBar();
    const Json below = fixture.value("below", Json::array());
    bool first = true;
    for (const auto& screen : below) {
      auto made = std::make_shared<FixtureScreen>(screen.value("className", std::string("Placeholder")),
                                                  screen.value("state", Json::object()));
      for (const auto& why : made->mismatches()) shot.warnings.push_back(QString::fromStdString(why));
      if (first) {
        host_->setRoot(made);
      } else {
        host_->push(made, false);
      }
      first = false;
    }
    auto screen = std::make_shared<FixtureScreen>(fixture.value("className", std::string("Placeholder")),
                                                  fixture.value("state", Json::object()));
    for (const auto& why : screen->mismatches()) shot.warnings.push_back(QString::fromStdString(why));
    if (first) {
      host_->setRoot(screen);
    } else if (fixture.value("modal", false)) {
      host_->present(screen, false);
    } else {
      host_->push(screen, false);
    }
    if (fixture.value("bar", false)) host_->showNoNetworkBar([] {});
    if (const auto overlay = fixture.find("overlay"); overlay != fixture.end() && overlay->size() == 2) {
      const std::string kind = (*overlay)[0];
      const OverlayKind overlayKind = kind == "success"   ? OverlayKind::Success
                                      : kind == "error"   ? OverlayKind::Error
                                      : kind == "warning" ? OverlayKind::Warning
                                                          : OverlayKind::Progress;
      host_->showOverlay(overlayKind, (*overlay)[1].get<std::string>());
    }
    if (const auto alert = fixture.find("alert"); alert != fixture.end()) {
      AlertSpec spec;
      spec.title = alert->value("title", std::string());
      spec.message = alert->value("message", std::string());
      for (const auto& button : alert->value("buttons", Json::array())) spec.buttons.push_back(button);
      host_->showAlert(spec, [](int) {});
    }
    // Long enough for the layout, the pictures read from disk and the first frame.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 400) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    shot.image = window_->grabWindow();
    collectTexts(window_->contentItem(), shot.texts);
    for (const auto& expected : fixture.value("expect", Json::array())) {
      const QString text = QString::fromStdString(expected.get<std::string>());
      const bool found = std::any_of(shot.texts.begin(), shot.texts.end(),
                                     [&text](const QString& shown) { return shown.contains(text); });
      if (!found) shot.missing.push_back(text);
    }
  }
  std::lock_guard lock(warningsMutex);
  collectedWarnings = nullptr;
  return shot;
}

int ScreenshotRenderer::writeAll(const std::string& folder, int width, int height) {
  QDir().mkpath(QString::fromStdString(folder));
  ScreenshotRenderer renderer(width, height);
  int failures = 0;
  for (const auto& fixture : shippedFixtures()) {
    const Shot shot = renderer.render(fixture);
    const QString file = QString::fromStdString(folder + "/" + shot.name + ".png");
    const bool saved = !shot.image.isNull() && shot.image.save(file);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(file));
    for (const auto& text : shot.missing) std::printf("  missing text: %s\n", qPrintable(text));
    if (!saved || !shot.warnings.isEmpty() || !shot.missing.isEmpty()) ++failures;
  }
  return failures == 0 ? 0 : 1;
}

}  // namespace twig
