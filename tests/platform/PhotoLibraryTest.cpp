// Pictures: the codec reads and writes real files, the folder library lists and reads photos.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "platform/linux/FolderPhotoLibrary.h"
#include "platform/linux/PixbufImageCodec.h"
#include "tests/fakes/TempDir.h"

namespace twig {
namespace {

namespace fs = std::filesystem;

// A photo-like picture: smooth shading, a hard-edged block and stripes of light and shade.
Image scene(int width, int height) {
  Image image;
  image.width = width;
  image.height = height;
  image.rgba.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint8_t* pixel = &image.rgba[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                                         static_cast<std::size_t>(x)) *
                                        4];
      const bool block = x > width / 4 && x < width / 2 && y > height / 4 && y < height * 3 / 4;
      const int light = (x / 8) % 2 == 0 ? 20 : -20;
      pixel[0] = static_cast<std::uint8_t>(block ? 230 : 20 + 200 * x / width + light);
      pixel[1] = static_cast<std::uint8_t>(block ? 40 : 20 + 200 * y / height + light);
      pixel[2] = static_cast<std::uint8_t>(120 + light);
      pixel[3] = 255;
    }
  }
  return image;
}

// Peak signal-to-noise ratio over the colour channels, in dB.
double psnr(const Image& a, const Image& b) {
  double squared = 0;
  std::size_t samples = 0;
  for (std::size_t i = 0; i < a.rgba.size(); ++i) {
    if (i % 4 == 3) continue;
    const double difference = static_cast<double>(a.rgba[i]) - static_cast<double>(b.rgba[i]);
    squared += difference * difference;
    ++samples;
  }
  return 10 * std::log10(255.0 * 255.0 / (squared / static_cast<double>(samples)));
}

void write(const fs::path& file, const std::string& bytes) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << bytes;
}

class PhotoLibraryTest : public ::testing::Test {
 protected:
  // A photo file whose modification time is `age` seconds in the past.
  fs::path photo(const std::string& name, int width, int height, int age) {
    const fs::path file = folder / name;
    write(file, *codec.encodeJpeg(scene(width, height), 90));
    fs::last_write_time(file, fs::file_time_type::clock::now() - std::chrono::seconds(age));
    return file;
  }

  test::TempDir dir;
  fs::path folder = dir / "Pictures";
  PixbufImageCodec codec;
  FolderPhotoLibrary library{folder, codec};
};

TEST_F(PhotoLibraryTest, TheUploadQualityKeepsAPhotoRecognisable) {
  const Image original = scene(640, 480);
  const auto low = codec.encodeJpeg(original, 30);
  const auto high = codec.encodeJpeg(original, 95);
  ASSERT_TRUE(low && high);
  EXPECT_LT(low->size(), high->size() / 2);  // the low quality is what keeps uploads small
  const ImageRef decoded = codec.decode(*low);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->width, 640);
  EXPECT_EQ(decoded->height, 480);
  EXPECT_GT(psnr(original, *decoded), 30.0);
}

TEST_F(PhotoLibraryTest, PngKeepsEveryPixelAndNonPicturesAreRefused) {
  Image original = scene(50, 30);
  original.rgba[3] = 0;  // one transparent pixel survives too
  const ImageRef decoded = codec.decode(*codec.encodePng(original));
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->rgba, original.rgba);
  EXPECT_FALSE(codec.decode("not a picture"));
  EXPECT_FALSE(codec.decode(""));
  EXPECT_FALSE(codec.encodeJpeg(Image{}, 30));
  write(folder / "broken.jpg", "\xFF\xD8\xFF garbage");
  EXPECT_FALSE(codec.decodeFile(folder / "broken.jpg", 0));
  EXPECT_FALSE(codec.decodeFile(folder / "missing.jpg", 0));
}

TEST_F(PhotoLibraryTest, PhotosAreListedNewestFirstWithoutHiddenOrOtherFiles) {
  const auto old = photo("2019/old.jpg", 40, 30, 3000);
  const auto recent = photo("recent.JPG", 40, 30, 10);
  const auto middle = photo("middle.jpeg", 40, 30, 500);
  photo(".hidden.jpg", 40, 30, 1);
  photo(".thumbnails/cached.jpg", 40, 30, 1);
  write(folder / "notes.txt", "not a photo");
  const auto photos = library.photos();
  ASSERT_TRUE(photos);
  EXPECT_EQ(*photos, (std::vector<std::string>{recent.string(), middle.string(), old.string()}));
}

TEST_F(PhotoLibraryTest, ThumbnailsAndScreenVersionsAreScaledDownOnly) {
  const auto big = photo("big.jpg", 2000, 1500, 1);
  const auto small = photo("small.jpg", 200, 100, 1);
  const ImageRef thumbnail = library.thumbnail(big.string());
  ASSERT_TRUE(thumbnail);
  EXPECT_EQ(thumbnail->width, FolderPhotoLibrary::kThumbnailSide);
  EXPECT_EQ(thumbnail->height, FolderPhotoLibrary::kThumbnailSide * 3 / 4);
  const ImageRef screen = library.fullScreenImage(big.string());
  ASSERT_TRUE(screen);
  EXPECT_EQ(screen->width, FolderPhotoLibrary::kFullScreenSide);
  EXPECT_EQ(screen->height, 960);
  const ImageRef kept = library.fullScreenImage(small.string());
  ASSERT_TRUE(kept);
  EXPECT_EQ(kept->width, 200);
  EXPECT_EQ(kept->height, 100);
}

TEST_F(PhotoLibraryTest, OnlyPhotosInsideTheFolderAreRead) {
  const auto outside = dir / "secret.jpg";
  write(outside, *codec.encodeJpeg(scene(20, 20), 90));
  photo("inside.jpg", 20, 20, 1);
  EXPECT_TRUE(library.thumbnail((folder / "inside.jpg").string()));
  EXPECT_FALSE(library.thumbnail(outside.string()));
  EXPECT_FALSE(library.fullScreenImage((folder / ".." / "secret.jpg").string()));
  fs::create_symlink(outside, folder / "link.jpg");
  EXPECT_FALSE(library.fullScreenImage((folder / "link.jpg").string()));
}

TEST_F(PhotoLibraryTest, AMissingFolderHasNoPhotosAndAFileInItsPlaceRefusesAccess) {
  const auto photos = library.photos();
  ASSERT_TRUE(photos);
  EXPECT_TRUE(photos->empty());
  write(folder, "a file where the folder should be");
  EXPECT_FALSE(library.photos());
}

TEST_F(PhotoLibraryTest, ThePicturesFolderComesFromTheUserDirectories) {
  const fs::path config = dir / "config";
  const fs::path home = "/home/child";
  EXPECT_EQ(FolderPhotoLibrary::picturesFolder(config, home), home / "Pictures");
  write(config / "user-dirs.dirs",
        "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/桌面\"\n"
        "XDG_PICTURES_DIR=\"$HOME/图片\"\n");
  EXPECT_EQ(FolderPhotoLibrary::picturesFolder(config, home), home / "图片");
  write(config / "user-dirs.dirs", "XDG_PICTURES_DIR=\"/srv/photos\"\n");
  EXPECT_EQ(FolderPhotoLibrary::picturesFolder(config, home), fs::path("/srv/photos"));
  // The home folder itself means the user has none: never the whole home folder.
  write(config / "user-dirs.dirs", "XDG_PICTURES_DIR=\"$HOME/\"\n");
  EXPECT_EQ(FolderPhotoLibrary::picturesFolder(config, home), home / "Pictures");
}

}  // namespace
}  // namespace twig
