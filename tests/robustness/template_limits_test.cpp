// Templates and profiles at the edges of what the export takes: a template
// that cannot be read, a note template that asks for its own page, thousands of tags on one line, a
// line of a megabyte, a profile of 100,000 samples and 1000 pixels per sample. Each export ends,
// and every picture that a GIF file can hold decodes back.
#include <gif_lib.h>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>

#include "robustness/robustness_support.h"

namespace quellmar::testing {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kFinishedHistory = {"HTML write started.", "HTML write finished."};

std::string Link(int n, const char* icon) {
  return "<a href=\"javascript:nw('" + std::to_string(n) + "')\"><img src=\"../pict/" + icon +
         "\" align=\"right\" border=\"0\"></a>";
}

std::string Repeat(std::string_view text, int times) {
  std::string repeated;
  repeated.reserve(text.size() * static_cast<std::size_t>(times));
  for (int i = 0; i < times; ++i) repeated += text;
  return repeated;
}

class TemplateLimits : public ::testing::Test {
 protected:
  // Dive 7 with a note and a short profile.
  void load(const std::string& profiles = ProfileLines(101, {"0", "6", "0.0"})) {
    fixture.writeExport(DiveLine(101, 7, 18) + "\r\n", "101,\"the note\"\r\n", profiles);
    ASSERT_TRUE(fixture.open());
    historyStart = fixture.session.window.history().size();
  }
  std::vector<std::string> exportHistory() const {
    return HistoryFrom(fixture.session, historyStart);
  }
  std::string output(const char* name) const { return ReadFile(fixture.outputDir() / name); }

  ProgramFixture fixture;
  std::size_t historyStart = 0;
};

struct SelfTag {
  const char* tag;
  const char* icon;
};

class NoteTemplateAsksForItsOwnPage : public TemplateLimits,
                                      public ::testing::WithParamInterface<SelfTag> {};

TEST_P(NoteTemplateAsksForItsOwnPage, WritesThePageOnceWithTheLinkInIt) {
  const std::string tag = GetParam().tag;
  fixture.writeTemplates("", "@subpage@\r\n", "", "<h1>@diveno@</h1>@" + tag + "@\r\n");
  load();

  fixture.exportHtml(MessageAnswer::No);

  EXPECT_EQ(exportHistory(), kFinishedHistory);
  EXPECT_EQ(output("logbook.html"), Link(7, "nog.gif") + "\r\n");
  EXPECT_EQ(output("d7.html"), "<h1>7</h1>" + Link(7, GetParam().icon) + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(Tags, NoteTemplateAsksForItsOwnPage,
                         ::testing::Values(SelfTag{"noteorgif", "nog.gif"},
                                           SelfTag{"subpage", "nog.gif"},
                                           SelfTag{"note_ico", "note.gif"}),
                         [](const auto& info) { return std::string(info.param.tag); });

// Every line of the note template asks for its own page three times, and the
// lines template asks for the page 200 times: 200 pages are written in turn,
// none of them inside another.
TEST_F(TemplateLimits, ManyRequestsForTheOwnPageStayFlat) {
  const std::string selfTags = "@subpage@@noteorgif@@note_ico@";
  fixture.writeTemplates("", Repeat("@subpage@", 200) + "\r\n", "",
                         Repeat(selfTags + "\r\n", 1000));
  load();

  fixture.exportHtml(MessageAnswer::No);

  EXPECT_EQ(exportHistory(), kFinishedHistory);
  EXPECT_EQ(output("logbook.html"), Repeat(Link(7, "nog.gif"), 200) + "\r\n");
  const std::string pageLine =
      Link(7, "nog.gif") + Link(7, "nog.gif") + Link(7, "note.gif") + "\r\n";
  EXPECT_EQ(output("d7.html"), Repeat(pageLine, 1000));
}

// 100,000 "@" make 50,000 empty tags: "error" in a dive template, nothing in a
// page template; one more "@" is left unclosed and copied as it is.
TEST_F(TemplateLimits, LinesOfAtSignsOnly) {
  const std::string even(100000, '@');
  const std::string odd = even + "@";
  fixture.writeTemplates(even + "\r\n" + odd + "\r\n", even + "\r\n" + odd + "\r\n", "", "");
  load();

  fixture.exportHtml(MessageAnswer::No);

  EXPECT_EQ(exportHistory(), kFinishedHistory);
  const std::string errors = Repeat("error", 50000);
  EXPECT_EQ(output("logbook.html"), "\r\n@\r\n" + errors + "\r\n" + errors + "@\r\n");
}

TEST_F(TemplateLimits, OneMegabyteLinesAreFilledWhole) {
  const std::string block = std::string(1000, 'x') + "@diveno@";
  const std::string filled = std::string(1000, 'x') + "7";
  fixture.writeTemplates(Repeat(block, 1000) + "\r\n", Repeat(block, 1000) + "@subpage@\r\n", "",
                         Repeat(block + "@note@", 1000) + "\r\n");
  load();

  fixture.exportHtml(MessageAnswer::No);

  EXPECT_EQ(exportHistory(), kFinishedHistory);
  // The head is a page template: its "@diveno@" tags are empty there.
  EXPECT_EQ(output("logbook.html"), Repeat(std::string(1000, 'x'), 1000) + "\r\n" +
                                        Repeat(filled, 1000) + Link(7, "nog.gif") + "\r\n");
  EXPECT_EQ(output("d7.html"), Repeat(filled + "the note", 1000) + "\r\n");
}

struct DecodedGif {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;
};

DecodedGif DecodeGif(const fs::path& path) {
  int error = 0;
  GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
  if (gif == nullptr) return {};
  DecodedGif decoded;
  if (DGifSlurp(gif) == GIF_OK && gif->ImageCount == 1) {
    decoded.width = gif->SWidth;
    decoded.height = gif->SHeight;
    const auto* raster = gif->SavedImages[0].RasterBits;
    decoded.pixels.assign(raster, raster + static_cast<std::size_t>(gif->SWidth) * gif->SHeight);
  }
  DGifCloseFile(gif, &error);
  return decoded;
}

struct WidePicture {
  const char* name;
  int samples;
  const char* px;
  int width;  // samples times pixels; above 65535 no GIF file can hold it
};

// clang-format off
const WidePicture kWidePictures[] = {
  {"samples_60000_px_1",   60000,  "1",    60000},
  {"samples_100000_px_1",  100000, "1",    100000},
  {"samples_30_px_1000",   30,     "1000", 30000},
  {"samples_66_px_1000",   66,     "1000", 66000},
  {"samples_100000_px_1000", 100000, "1000", 100000000},
};
// clang-format on

class WideProfile : public TemplateLimits, public ::testing::WithParamInterface<WidePicture> {};

TEST_P(WideProfile, IsWrittenWhenAGifCanHoldItAndLeftOutOtherwise) {
  const auto& row = GetParam();
  std::vector<std::string> samples;
  for (int i = 0; i < row.samples; ++i) samples.push_back(std::to_string(i % 30) + ".0");
  fixture.writeTemplates("<html>\r\n", "<p>@diveno@ @profile_gif@</p>\r\n", "</html>\r\n", "");
  load(ProfileLines(101, samples));
  fixture.session.window.options.px = row.px;

  fixture.exportHtml(MessageAnswer::No);

  const auto picture = fixture.outputDir() / "d7.gif";
  if (row.width <= 65535) {
    EXPECT_EQ(exportHistory(), kFinishedHistory);
    EXPECT_TRUE(fixture.platform.errors.empty());
    const auto gif = DecodeGif(picture);
    EXPECT_EQ(gif.width, row.width);
    EXPECT_EQ(gif.height, 120);
    // The navy ring along the top row, the black frame line in the bottom row.
    ASSERT_EQ(gif.pixels.size(), static_cast<std::size_t>(row.width) * 120);
    const auto middle = static_cast<std::size_t>(row.width) / 2;
    EXPECT_EQ(gif.pixels[middle], 2);
    EXPECT_EQ(gif.pixels[static_cast<std::size_t>(row.width) * 119 + middle], 0);
    return;
  }
  // Too large for a GIF file: the picture is left out, the export goes on.
  EXPECT_EQ(exportHistory(),
            (std::vector<std::string>{"HTML write started.",
                                      "Dive 7: a profile picture of " + std::to_string(row.width) +
                                          " x 120 pixels is larger than a GIF file can hold; the "
                                          "picture is left out.",
                                      "HTML write finished."}));
  EXPECT_TRUE(fixture.platform.errors.empty());
  EXPECT_FALSE(fs::exists(picture));
  EXPECT_EQ(output("logbook.html"), "<html>\r\n<p>7 </p>\r\n</html>\r\n");
}

INSTANTIATE_TEST_SUITE_P(Sizes, WideProfile, ::testing::ValuesIn(kWidePictures),
                         [](const auto& info) { return std::string(info.param.name); });

#ifndef _WIN32
void TakeAwayPermission(const fs::path& path) { fs::permissions(path, fs::perms::none); }
void MakeFifo(const fs::path& path) {
  fs::remove(path);
  ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
}
void LinkToDevice(const fs::path& path) {
  fs::remove(path);
  fs::create_symlink("/dev/null", path);
}

struct UnreadableRow {
  const char* name;
  const char* file;
  void (*spoil)(const fs::path&);
  bool asNobody;  // root reads through permissions
  const char* reason;
};

// clang-format off
const UnreadableRow kUnreadable[] = {
    {"head_without_permission",  "head.html",  TakeAwayPermission, true,  "Permission denied"},
    {"lines_without_permission", "lines.html", TakeAwayPermission, true,  "Permission denied"},
    {"note_without_permission",  "note.html",  TakeAwayPermission, true,  "Permission denied"},
    {"foot_is_a_fifo",           "foot.html",  MakeFifo,           false, "Not a regular file"},
    {"head_is_a_device",         "head.html",  LinkToDevice,       false, "Not a regular file"},
};
// clang-format on

class UnreadableTemplate : public TemplateLimits,
                           public ::testing::WithParamInterface<UnreadableRow> {};

// A template that is there but cannot be read stops the export before
// anything is asked or written: the earlier logbook stays whole.
TEST_P(UnreadableTemplate, StopsTheExportAndKeepsTheEarlierLogbook) {
  const UnreadableRow& row = GetParam();
  load();
  fixture.writeTemplates("<html>\r\n", "<p>@diveno@ @noteorgif@</p>\r\n", "</html>\r\n",
                         "@note@\r\n");
  ASSERT_TRUE(fixture.exportHtml(MessageAnswer::Yes));
  historyStart = fixture.session.window.history().size();
  fixture.platform.messages.clear();
  OpenToOthers(fixture.root());
  const auto path = fixture.programDir() / "html" / row.file;
  row.spoil(path);
  const auto before = Snapshot(fixture.outputDir());

  const auto child = RunInChild([&] {
    if (row.asNobody && !BecomeNobody()) return std::vector<std::string>{"no user nobody"};
    std::vector<std::string> texts{fixture.exportHtml(MessageAnswer::Yes) ? "finished" : "stopped"};
    const auto history = exportHistory();
    texts.insert(texts.end(), history.begin(), history.end());
    const auto shown = ShownTexts(fixture.platform);
    texts.insert(texts.end(), shown.begin(), shown.end());
    return texts;
  });

  ASSERT_TRUE(child.exitedNormally && child.exitCode == 0);
  EXPECT_EQ(child.texts, (std::vector<std::string>{"stopped", "HTML write started.",
                                                   "Cannot read file " + path.string() + ".",
                                                   path.string() + ": " + row.reason}));
  EXPECT_EQ(Snapshot(fixture.outputDir()), before);
}

INSTANTIATE_TEST_SUITE_P(Templates, UnreadableTemplate, ::testing::ValuesIn(kUnreadable),
                         [](const auto& info) { return std::string(info.param.name); });
#endif

}  // namespace
}  // namespace quellmar::testing
