// The special reward: the strip, the picker, the details screen, the text, the uploads and the bill.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <fstream>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "api/Digest.h"
#include "api/Utils.h"
#include "app/Agent.h"
#include "app/ScreenCatalog.h"
#include "control/AppControlManager.h"
#include "control/LockPresenter.h"
#include "frame/ScreenRegistry.h"
#include "identity/ChildIdentity.h"
#include "tests/fakes/TestHttpServer.h"
#include "tests/fakes/TestPorts.h"
#include "wallet/PhotoDetailScreen.h"
#include "wallet/PhotoPickerScreen.h"
#include "wallet/PictureUploads.h"
#include "wallet/SpecialRewardScreen.h"

namespace twig {
namespace {

using namespace std::chrono_literals;
using test::CannedResponse;
namespace fs = std::filesystem;

ImageRef picture(int width, int height, std::uint8_t shade = 120) {
  auto image = std::make_shared<Image>();
  image->width = width;
  image->height = height;
  image->rgba.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, shade);
  return image;
}

std::string partValue(const test::RecordedRequest& request, const std::string& name) {
  for (const auto& part : request.parts) {
    if (part.name == name) return part.content;
  }
  return "";
}

// Uploads the fake service has answered, by their "width", for uploads that wait for others.
struct Answered {
  std::mutex mutex;
  std::condition_variable changed;
  std::set<std::string> widths;
};

// How the fake service treats uploads: which widths fail, which wait until another was answered
// (so that the order of endings does not depend on timing), and how many ran at once at most.
struct UploadPlan {
  std::set<std::string> failingWidths;
  std::map<std::string, std::string> waitsFor;
  std::shared_ptr<Answered> answered = std::make_shared<Answered>();
  std::shared_ptr<std::atomic<int>> running = std::make_shared<std::atomic<int>>(0);
  std::shared_ptr<std::atomic<int>> mostAtOnce = std::make_shared<std::atomic<int>>(0);
};

class SpecialRewardTest : public ::testing::Test {
 protected:
  SpecialRewardTest() {
    ports.useServiceHost(server.hostAndPort());
    serve();
    ports.screenHost.setRoot(test::blankScreen("Home"));
  }
  // Answers from copies of the fields as they are now: the server's thread never reads the fixture.
  void serve() {
    server.setHandler([plan = plan,
                       billAnswer = billAnswer](const test::RecordedRequest& request) -> CannedResponse {
      if (request.path == "/api/v2.0/bills") return billAnswer;
      if (request.path != "/api/v2.0/file/pictures") return {404, "application/json", "{}"};
      const int now = ++*plan.running;
      for (int most = *plan.mostAtOnce; now > most && !plan.mostAtOnce->compare_exchange_weak(most, now);) {
      }
      const std::string width = partValue(request, "width");
      if (auto other = plan.waitsFor.find(width); other != plan.waitsFor.end()) {
        std::unique_lock lock(plan.answered->mutex);
        plan.answered->changed.wait_for(lock, 20s,
                                        [&] { return plan.answered->widths.count(other->second) > 0; });
      }
      --*plan.running;
      {
        std::lock_guard lock(plan.answered->mutex);
        plan.answered->widths.insert(width);
      }
      plan.answered->changed.notify_all();
      if (plan.failingWidths.count(width) > 0) return {500, "text/plain", "disk full"};
      const std::string md5 = Digest::MD5(partValue(request, "file"));
      return {200, "application/json",
              Json{{"fileUrl", "http://files/" + md5 + ".jpg"}, {"fileMd5", md5}}.dump()};
    });
  }
  std::shared_ptr<SpecialRewardScreen> open() {
    auto screen =
        std::static_pointer_cast<SpecialRewardScreen>(ports.agent().screens().make("JiangLi", "JiangLiID"));
    ports.screenHost.push(screen, true);
    return screen;
  }
  // A photo in the pictures folder, `age` seconds old.
  std::string savePhoto(const std::string& name, int width, int height, int age = 0) {
    const fs::path file = ports.picturesFolder() / name;
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << *ports.codec.encodeJpeg(*picture(width, height), 80);
    fs::last_write_time(file, fs::file_time_type::clock::now() - std::chrono::seconds(age));
    return file.string();
  }
  std::shared_ptr<PhotoPickerScreen> openPicker(const std::shared_ptr<SpecialRewardScreen>& screen) {
    screen->invoke("addImages");
    auto picker = std::dynamic_pointer_cast<PhotoPickerScreen>(ports.screenHost.topScreen());
    if (picker) ports.time.loop().runUntil([&] { return !picker->state()["loading"].get<bool>(); }, 20s);
    return picker;
  }
  std::vector<Json> bills() const {
    std::vector<Json> sent;
    for (const auto& request : server.requests()) {
      if (request.path == "/api/v2.0/bills") sent.push_back(Json::parse(request.body));
    }
    return sent;
  }
  bool waitFor(const std::string& line) {
    return ports.time.loop().runUntil([&] { return ports.screenHost.saw(line); }, 20s);
  }
  std::size_t count(const std::string& line) const {
    const auto& lines = ports.screenHost.lines();
    return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
  }

  // App control starts: the lock screen covers whatever is shown.
  void lockNow() {
    ports.agent().controlEvents().started.notify(
        Json::array({Json{{"startTime", "06:00"},
                          {"endTime", "20:00"},
                          {"groupName", "游戏"},
                          {"today", true},
                          {"apps", Json::array({Json{{"appName", "Puzzle"}}})}}}));
    ports.time.settle();
  }

  test::TestHttpServer server;
  test::TestPorts ports;
  UploadPlan plan;
  CannedResponse billAnswer{200, "application/json", "{}"};
  LockPresenter lockPresenter{ports.agent().controlEvents(), ports.time.loop(), ports.screenHost,
                              ports.agent().routes()};
};

TEST_F(SpecialRewardTest, TheStripShowsCameraPhotosFirstUploadsLibraryPhotosFirstAndHoldsEight) {
  PhotoStrip strip;
  strip.updateImagesArray(
      {Photo::libraryPhoto("/p/a.jpg", picture(1, 1)), Photo::libraryPhoto("/p/b.jpg", picture(2, 2))});
  strip.addTakePhone(picture(3, 3));
  strip.addImageModel(Photo::libraryPhoto("/p/a.jpg", picture(9, 9)));  // already there
  const auto shown = strip.fetchAllImages();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_TRUE(shown[0].isTakePhone);
  EXPECT_EQ(shown[1].url, "/p/a.jpg");
  const auto uploads = strip.fetchImages();
  EXPECT_EQ(uploads[0]->width, 1);
  EXPECT_EQ(uploads[2]->width, 3);
  EXPECT_EQ(strip.state(false)["thumbnails"][2]["tag"], 2);
  EXPECT_EQ(strip.state(true)["columns"], 8);

  for (int i = 0; i < 10; ++i)
    strip.addImageModel(Photo::libraryPhoto("/p/" + std::to_string(i), picture(1, 1)));
  EXPECT_EQ(strip.count(), 8u);
  EXPECT_FALSE(strip.showsAddButton());
  EXPECT_FALSE(strip.state(false)["addButton"].get<bool>());
  strip.removeTakePhotoAtIndex(0);
  strip.removeImageAtIndex(99);
  EXPECT_EQ(strip.count(), 7u);
  EXPECT_TRUE(strip.showsAddButton());
}

TEST_F(SpecialRewardTest, ThePickerCountsTheCameraPhotosAndRefusesANinthPicture) {
  std::vector<std::string> addresses;
  for (int i = 0; i < 9; ++i)
    addresses.push_back(savePhoto("p" + std::to_string(i) + ".jpg", 40, 30, i * 10));
  auto screen = open();
  screen->strip().addTakePhone(picture(5, 5));
  auto picker = openPicker(screen);
  ASSERT_TRUE(picker);
  EXPECT_EQ(picker->title(), "相册");
  EXPECT_EQ(picker->state()["cameraCell"]["count"], 1);
  EXPECT_EQ(picker->state()["rightButtonTitle"], "确定(1)");
  ASSERT_EQ(picker->state()["photos"].size(), 9u);
  EXPECT_EQ(picker->state()["photos"][0]["url"], addresses[0]);  // the newest first
  for (int i = 0; i < 7; ++i) picker->invoke("tapPhoto", Json{{"index", i}});
  EXPECT_EQ(picker->state()["rightButtonTitle"], "确定(8)");
  picker->invoke("tapPhoto", Json{{"index", 7}});
  picker->invoke("tapCamera");
  EXPECT_EQ(count("overlay warning 不可以超过8张哦~"), 2u);
  EXPECT_EQ(ports.camera.openings, 0);
  EXPECT_FALSE(picker->state()["photos"][7]["selected"].get<bool>());
  picker->invoke("tapPhoto", Json{{"index", 0}});  // unticking is always allowed
  EXPECT_EQ(picker->state()["rightButtonTitle"], "确定(7)");
  picker->invoke("tapPhoto", Json{{"index", 4294967296.0}});
  EXPECT_EQ(picker->state()["rightButtonTitle"], "确定(7)");
}

TEST_F(SpecialRewardTest, ConfirmingHandsBackScreenSizedPhotosAndClosesTwoSecondsLater) {
  const auto big = savePhoto("big.jpg", 1600, 1200, 10);
  savePhoto("small.jpg", 60, 40, 0);
  auto screen = open();
  auto picker = openPicker(screen);
  ASSERT_TRUE(picker);
  picker->invoke("tapPhoto", Json{{"index", 1}});
  picker->invoke("confirm");
  EXPECT_TRUE(ports.screenHost.saw("overlay progress 正在处理"));
  ASSERT_TRUE(ports.time.loop().runUntil([&] { return screen->strip().count() == 1; }, 20s));
  EXPECT_EQ(screen->strip().fetchImageModel()[0].url, big);
  EXPECT_EQ(screen->strip().fetchImages()[0]->width, 1280);
  EXPECT_EQ(ports.screenHost.topScreen(), picker);
  ports.time.advance(1900ms);
  EXPECT_EQ(ports.screenHost.topScreen(), picker);
  ports.time.advance(100ms);
  EXPECT_EQ(ports.screenHost.topScreen(), screen);
  // Opened again, the picker shows the strip's photo as selected.
  picker = openPicker(screen);
  EXPECT_TRUE(picker->state()["photos"][1]["selected"].get<bool>());
  EXPECT_EQ(picker->state()["rightButtonTitle"], "确定(1)");
}

// The picker closes two seconds after the confirm, the screen 0.8 seconds after its bill was
// taken: a lock screen that comes in between covers them and leaves neither half closed.
TEST_F(SpecialRewardTest, TheLockComingWhileAScreenIsAboutToCloseLetsItClose) {
  savePhoto("small.jpg", 60, 40, 0);
  auto screen = open();
  auto picker = openPicker(screen);
  ASSERT_TRUE(picker);
  picker->invoke("tapPhoto", Json{{"index", 0}});
  picker->invoke("confirm");
  ASSERT_TRUE(ports.time.loop().runUntil([&] { return screen->strip().count() == 1; }, 20s));
  lockNow();
  const auto lock = ports.screenHost.coverScreen();
  ASSERT_TRUE(lock);
  ports.time.advance(2s);
  EXPECT_EQ(ports.screenHost.topScreen(), screen) << "the picker closed under the lock";
  EXPECT_EQ(ports.screenHost.coverScreen(), lock);

  ports.agent().controlEvents().ended.notify();
  ports.time.settle();
  screen->invoke("setText", Json{{"text", "我帮奶奶拎菜"}});
  screen->invoke("send");
  ASSERT_TRUE(waitFor("overlay success 发送成功"));
  lockNow();
  ASSERT_TRUE(ports.screenHost.coverScreen());
  ports.time.advance(800ms);
  EXPECT_EQ(ports.screenHost.topScreen()->screenName(), "Home") << "the screen closed under the lock";
  EXPECT_EQ(screen->state()["sending"], true) << "and stays done: nothing more to send";
}

TEST_F(SpecialRewardTest, AnUnreadablePhotoFailsTheConfirmAndThePickerStaysOpen) {
  savePhoto("good.jpg", 40, 30, 10);
  std::ofstream(ports.picturesFolder() / "broken.jpg") << "not really a jpeg";
  auto screen = open();
  auto picker = openPicker(screen);
  ASSERT_EQ(picker->state()["photos"].size(), 2u);
  picker->invoke("tapPhoto", Json{{"index", 0}});
  picker->invoke("tapPhoto", Json{{"index", 1}});
  picker->invoke("confirm");
  ASSERT_TRUE(waitFor("overlay error 处理失败，请重试"));
  ports.time.loop().runUntil([] { return false; }, 200ms);
  ports.time.advance(3s);
  EXPECT_EQ(ports.screenHost.topScreen(), picker);
  EXPECT_EQ(screen->strip().count(), 0u);
}

TEST_F(SpecialRewardTest, CameraPhotosAloneCloseThePickerAndAPictureFromTheCameraJoinsTheStrip) {
  auto screen = open();
  auto picker = openPicker(screen);
  picker->invoke("tapCamera");
  ASSERT_TRUE(ports.camera.isOpen());
  ports.camera.finish(nullptr);  // cancelled: only the camera closes
  EXPECT_EQ(ports.screenHost.topScreen(), picker);
  picker->invoke("tapCamera");
  ports.camera.finish(picture(64, 48));
  EXPECT_EQ(ports.screenHost.topScreen(), screen);
  ASSERT_EQ(screen->strip().fetchTakePhotoModel().size(), 1u);
  EXPECT_EQ(screen->strip().fetchTakePhotoModel()[0].url, Photo::kCameraAddress);

  // With only the camera photo counted, confirming closes at once.
  picker = openPicker(screen);
  EXPECT_EQ(picker->state()["rightButtonTitle"], "确定(1)");
  picker->invoke("confirm");
  EXPECT_EQ(ports.screenHost.topScreen(), screen);
  EXPECT_FALSE(ports.screenHost.saw("overlay progress 正在处理"));
  EXPECT_EQ(screen->strip().count(), 1u);

  ports.camera.available = false;  // a computer without a camera: the cell does nothing
  picker = openPicker(screen);
  picker->invoke("tapCamera");
  EXPECT_EQ(ports.camera.openings, 2);
}

TEST_F(SpecialRewardTest, ARefusedLibraryShowsItsLabel) {
  std::ofstream(ports.picturesFolder()) << "a file where the folder should be";
  auto picker = openPicker(open());
  EXPECT_FALSE(picker->state()["accessLabelHidden"].get<bool>());
  EXPECT_EQ(picker->state()["accessLabel"], "请允许刺猬家访问您的照片");
  EXPECT_TRUE(picker->state()["photos"].empty());
}

TEST_F(SpecialRewardTest, TheDetailsScreenRemovesTheTappedPicture) {
  auto screen = open();
  screen->strip().addTakePhone(picture(10, 10));
  screen->strip().updateImagesArray(
      {Photo::libraryPhoto("/p/a.jpg", picture(20, 20)), Photo::libraryPhoto("/p/b.jpg", picture(30, 30))});
  screen->invoke("tapImage", Json{{"tag", 2}});  // the second library photo
  auto details = std::dynamic_pointer_cast<PhotoDetailScreen>(ports.screenHost.topScreen());
  ASSERT_TRUE(details);
  EXPECT_EQ(details->title(), "照片详情");
  EXPECT_EQ(details->state()["question"], "是否删除照片？");
  EXPECT_EQ(details->state()["type"], PhotoDetailScreen::kLibraryPhoto);
  EXPECT_EQ(details->state()["index"], 1);
  details->invoke("cancel");
  EXPECT_EQ(screen->strip().count(), 3u);
  screen->invoke("tapImage", Json{{"tag", 2}});
  details = std::dynamic_pointer_cast<PhotoDetailScreen>(ports.screenHost.topScreen());
  details->invoke("confirm");
  details->invoke("confirm");  // a second tap removes nothing more
  EXPECT_EQ(ports.screenHost.topScreen(), screen);
  ASSERT_EQ(screen->strip().count(), 2u);
  EXPECT_EQ(screen->strip().fetchImageModel()[0].url, "/p/a.jpg");
  screen->invoke("tapImage", Json{{"tag", 0}});
  details = std::dynamic_pointer_cast<PhotoDetailScreen>(ports.screenHost.topScreen());
  EXPECT_EQ(details->state()["type"], PhotoDetailScreen::kCameraPhoto);
  details->invoke("confirm");
  EXPECT_TRUE(screen->strip().fetchTakePhotoModel().empty());
}

TEST_F(SpecialRewardTest, TheTextHasAPlaceholderAndIsCutAt140CharactersWithAShake) {
  auto screen = open();
  EXPECT_EQ(screen->title(), "特别奖励");
  EXPECT_EQ(screen->state()["rightButtonTitle"], "发送");
  EXPECT_EQ(screen->state()["text"], "做了哪些...");
  EXPECT_EQ(screen->state()["textColor"], "grey");
  screen->invoke("editingBegan");
  EXPECT_EQ(screen->state()["text"], "");
  EXPECT_EQ(screen->state()["textColor"], "black");
  std::string long_;
  for (int i = 0; i < 150; ++i) long_ += "好";
  screen->invoke("setText", Json{{"text", long_}});
  EXPECT_EQ(Utils::characterPrefix(screen->text(), 1000).characters, 140u);
  EXPECT_EQ(screen->state()["shake"]["serial"], 1);
  screen->invoke("setText", Json{{"text", std::string("ab\xFF") + "c"}});  // a broken byte is replaced
  EXPECT_EQ(screen->text(),
            "ab\xEF\xBF\xBD"
            "c");
  screen->invoke("setText", Json{{"text", ""}});
  screen->invoke("touchOutside");
  EXPECT_EQ(screen->state()["text"], "做了哪些...");
  EXPECT_EQ(screen->state()["placeholderShown"], true);
}

TEST_F(SpecialRewardTest, NothingIsSentWithoutTextOrPicturesAndTextAloneSendsAnEmptyPictureList) {
  auto screen = open();
  screen->invoke("send");
  EXPECT_EQ(screen->state()["shake"]["serial"], 1);
  ports.time.loop().runUntil([] { return false; }, 100ms);
  EXPECT_EQ(server.requestCount(), 0u);

  screen->invoke("setText", Json{{"text", "我帮奶奶拎菜"}});
  screen->invoke("send");
  EXPECT_TRUE(ports.screenHost.saw("overlay progress 正在发送"));
  ASSERT_TRUE(waitFor("overlay success 发送成功"));
  const auto sent = bills();
  ASSERT_EQ(sent.size(), 1u);
  std::vector<std::string> keys;
  for (auto it = sent[0].begin(); it != sent[0].end(); ++it) keys.push_back(it.key());
  EXPECT_EQ(keys, (std::vector<std::string>{"childDeviceId", "type", "description", "subjectId", "pictures",
                                            "billMd5"}));
  EXPECT_EQ(sent[0]["type"], 1);
  EXPECT_EQ(sent[0]["subjectId"], 10000);
  EXPECT_EQ(sent[0]["description"], "我帮奶奶拎菜");
  EXPECT_EQ(sent[0]["pictures"], Json::array());
  Json five = sent[0];
  five.erase("billMd5");
  EXPECT_EQ(sent[0]["billMd5"], Digest::MD5(five.dump(2)));
  // Closed 0.8 seconds after the answer.
  ports.time.advance(700ms);
  EXPECT_EQ(ports.screenHost.topScreen(), screen);
  ports.time.advance(100ms);
  EXPECT_NE(ports.screenHost.topScreen(), screen);
}

TEST_F(SpecialRewardTest, AFailedUploadIsLeftOutAndTheBillWaitsForEveryUpload) {
  plan.failingWidths = {"310"};
  plan.waitsFor = {{"300", "320"}};  // the first upload ends last, after the third
  serve();
  auto screen = open();
  screen->strip().updateImagesArray({Photo::libraryPhoto("/p/1", picture(300, 200)),
                                     Photo::libraryPhoto("/p/2", picture(310, 200)),
                                     Photo::libraryPhoto("/p/3", picture(320, 200))});
  screen->invoke("send");
  ASSERT_TRUE(waitFor("overlay success 发送成功"));
  EXPECT_EQ(count("overlay warning 图片上传失败"), 1u);
  EXPECT_EQ(*plan.mostAtOnce, 2);
  const auto sent = bills();
  ASSERT_EQ(sent.size(), 1u);
  const Json& pictures = sent[0]["pictures"];
  ASSERT_EQ(pictures.size(), 2u);
  EXPECT_EQ(pictures[0]["width"], 300);
  EXPECT_EQ(pictures[0]["high"], 200);
  EXPECT_EQ(pictures[1]["width"], 320);
  EXPECT_EQ(pictures[0]["fileUrl"].get<std::string>().rfind("http://files/", 0), 0u);

  std::size_t uploads = 0;
  for (const auto& request : server.requests()) {
    if (request.path != "/api/v2.0/file/pictures") continue;
    ++uploads;
    EXPECT_EQ(partValue(request, "expiration"), "0");
    for (const auto& part : request.parts) {
      if (part.name != "file") continue;
      EXPECT_EQ(part.fileName, "name.");
      EXPECT_EQ(part.contentType, "image/jpeg");
      EXPECT_TRUE(ports.codec.decode(part.content));
    }
  }
  EXPECT_EQ(uploads, 3u);
}

TEST_F(SpecialRewardTest, ARefusedBillKeepsTheTextAndPicturesForAnotherTry) {
  billAnswer = {500, "text/plain", "down"};
  serve();
  auto screen = open();
  screen->invoke("setText", Json{{"text", "我考了满分"}});
  screen->strip().addTakePhone(picture(30, 20));
  screen->invoke("send");
  ASSERT_TRUE(waitFor("overlay error 申请失败"));
  ports.time.advance(2s);
  EXPECT_EQ(ports.screenHost.topScreen(), screen);
  EXPECT_EQ(screen->text(), "我考了满分");
  EXPECT_EQ(screen->strip().count(), 1u);
  EXPECT_EQ(screen->state()["sending"], false);
  billAnswer = {200, "application/json", "{}"};
  serve();
  screen->invoke("send");
  ASSERT_TRUE(waitFor("overlay success 发送成功"));
  EXPECT_EQ(bills().back()["pictures"].size(), 1u);
}

TEST_F(SpecialRewardTest, ARefusalByTheServiceShowsItsWordsAndKeepsTheReport) {
  // A device the service no longer counts as bound: the report never reaches the parent.
  billAnswer = {202, "application/json", R"({"errorCode":30204,"errorDescription":"设备未绑定"})"};
  serve();
  auto screen = open();
  screen->invoke("setText", Json{{"text", "我考了满分"}});
  screen->strip().addTakePhone(picture(30, 20));
  screen->invoke("send");
  screen->invoke("send");  // a double tap sends one report
  ASSERT_TRUE(waitFor("overlay error 设备未绑定"));
  EXPECT_EQ(bills().size(), 1u);
  ports.time.advance(2s);
  EXPECT_FALSE(ports.screenHost.saw("overlay success 发送成功"));
  EXPECT_EQ(ports.screenHost.topScreen(), screen);
  EXPECT_EQ(screen->text(), "我考了满分");
  EXPECT_EQ(screen->strip().count(), 1u);
  EXPECT_EQ(screen->state()["sending"], false);
  // Without the service's words the refusal still says so.
  billAnswer = {202, "application/json", R"({"errorCode":20001})"};
  serve();
  ports.screenHost.clear();
  screen->invoke("send");
  ASSERT_TRUE(waitFor("overlay error 申请失败"));
  EXPECT_EQ(ports.screenHost.topScreen(), screen);
}

}  // namespace
}  // namespace twig
