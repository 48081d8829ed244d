// Frames, wire names, progress texts and the parsing of terminal data in
// the pieces a network delivers.
#include "comm/session_protocol.h"

#include <gtest/gtest.h>

#include <vector>

namespace kaslo::comm {
namespace {

TEST(FrameTest, ExactBytes) {
  EXPECT_EQ(EndFrame(), std::string("\x02X\x03\x5D", 4));
  EXPECT_EQ(NoDataReply(), "<<<Conectado Kaslo Roza Application>>>\r\nSem dados para Envio\r\n");

  std::string wire = WireName('S', "user.dad");
  EXPECT_EQ(wire, "Suser.dad    ");
  std::string request = RequestFrame(wire);
  ASSERT_EQ(request.size(), 16u);
  EXPECT_EQ(request.substr(0, 15), std::string("\x02") + wire + "\x03");
  unsigned sum = 0;
  for (size_t i = 0; i < 15; ++i) sum += static_cast<unsigned char>(request[i]);
  EXPECT_EQ(static_cast<unsigned char>(request[15]), sum % 256);

  std::string header = FileHeaderFrame(WireName('R', "Prods.dad"), 860);
  EXPECT_EQ(header.substr(0, 18), std::string("\x02RProds.dad   860\x03"));
  EXPECT_EQ(static_cast<uint8_t>(header[18]), Checksum(header.substr(0, 18)));
  EXPECT_EQ(FileHeaderFrame(WireName('R', "user.dad"), 0).substr(14, 2), "0\x03");
  EXPECT_EQ(TerminalHeaderFrame(wire, std::nullopt).substr(14, 6), "NNNNN\x03");
  // The identity answer of a terminal: 18-byte header + 25 bytes = 43.
  EXPECT_EQ(TerminalHeaderFrame(WireName('S', "id.dad"), 25).size() + 25, kIdentitySize);
}

TEST(FrameTest, WireNamesPadCutAndMapToFiles) {
  EXPECT_EQ(WireName('R', "Prods.dad"), "RProds.dad   ");
  EXPECT_EQ(WireName('G', "M00019999.dad"), "GM00019999.da");  // cut to 12
  EXPECT_EQ(WireName('G', ".dad"), "G.dad        ");
  EXPECT_EQ(WireFile("RProds.dad   "), "RProds.dad");
  EXPECT_EQ(WireFile(WireName('C', "ZLogs.dad")), "CZLogs.dad");
  EXPECT_EQ(Checksum(std::string(300, '\xFF')), (300 * 255) % 256);
}

TEST(ProgressTest, SendingAndReceiving) {
  // 860 bytes in 80-byte blocks: after the first block 10 %, the last 100 %.
  EXPECT_EQ(SendProgressText(160, 860, 80), "10 %");
  EXPECT_EQ(SendProgressText(800, 860, 80), "92 %");
  EXPECT_EQ(SendProgressText(960, 860, 80), "100 %");
  EXPECT_EQ(SendProgressText(160, 80, 80), "0 %");
  EXPECT_EQ(SendProgressText(160, 50, 80), "100 %");
  // Receiving shows the share still to come.
  EXPECT_EQ(ReceiveProgressText(1000, 1000, 80), std::nullopt);
  EXPECT_EQ(ReceiveProgressText(540, 1000, 80), "50 %");
  EXPECT_EQ(ReceiveProgressText(80, 1000, 80), "0 %");
}

TEST(SizeFieldTest, Readings) {
  struct Case {
    const char* text;
    SizeField::Kind kind;
    uint64_t size;
  } cases[] = {
      {"25", SizeField::kKnown, 25},     {"  860 ", SizeField::kKnown, 860},
      {"NNNNN", SizeField::kUnknown, 0}, {" NNNNN ", SizeField::kUnknown, 0},
      {"12,7", SizeField::kKnown, 12},   {"40x", SizeField::kKnown, 40},
      {"0", SizeField::kKnown, 0},       {"-5", SizeField::kInvalid, 0},
      // Blank or without a number: 0, as the text-to-number routine reads it.
      {"", SizeField::kKnown, 0},        {"     ", SizeField::kKnown, 0},
      {"abc", SizeField::kKnown, 0},     {"-", SizeField::kKnown, 0},
      {"NNNN", SizeField::kKnown, 0},
  };
  for (const Case& c : cases) {
    SizeField field = ParseSizeField(c.text);
    EXPECT_EQ(field.kind, c.kind) << '"' << c.text << '"';
    EXPECT_EQ(field.size, c.size) << '"' << c.text << '"';
  }
}

// Records what the parser asks for; completes files into `files`.
class RecordingSink : public ReceiveSink {
 public:
  bool OnHeader(std::optional<uint64_t> size) override {
    sizes.push_back(size);
    files.emplace_back();
    return true;
  }
  bool OnData(std::string_view bytes) override {
    files.back() += bytes;
    return true;
  }
  void OnProgress(uint64_t remaining, uint64_t total) override {
    ++progress;
    left.push_back(remaining);
  }
  bool OnComplete() override {
    ++completed;
    return completed < stop_after;
  }
  std::vector<std::optional<uint64_t>> sizes;
  std::vector<std::string> files;
  int completed = 0;
  int progress = 0;
  std::vector<uint64_t> left;  // remaining at each progress call
  int stop_after = 100;
};

std::string Header(std::optional<uint64_t> size) { return TerminalHeaderFrame(WireName('S', "user.dad"), size); }

// Feeds `stream` in pieces of `piece` bytes.
ReceiveParser::Result FeedInPieces(ReceiveParser& parser, RecordingSink& sink, const std::string& stream,
                                   size_t piece) {
  ReceiveParser::Result result = ReceiveParser::Result::kContinue;
  for (size_t pos = 0; pos < stream.size() && result == ReceiveParser::Result::kContinue; pos += piece) {
    result = parser.Feed(std::string_view(stream).substr(pos, piece), sink);
  }
  return result;
}

TEST(ReceiveParserTest, KnownSizeInAnyPieces) {
  std::string data;
  for (int i = 0; i < 300; ++i) data += static_cast<char>(i);  // holds 02, 03 and CC bytes
  std::string stream = Header(data.size()) + data;
  for (size_t piece : {1u, 2u, 7u, 17u, 18u, 19u, 80u, 1000u}) {
    ReceiveParser parser;
    RecordingSink sink;
    EXPECT_EQ(FeedInPieces(parser, sink, stream, piece), ReceiveParser::Result::kContinue) << piece;
    ASSERT_EQ(sink.files.size(), 1u) << piece;
    EXPECT_EQ(sink.files[0], data) << piece;
    EXPECT_EQ(sink.completed, 1) << piece;
    EXPECT_TRUE(parser.expectingHeader());
  }
}

TEST(ReceiveParserTest, HeaderSplitBeforeChecksumWaits) {
  std::string stream = Header(3) + "abc";
  ReceiveParser parser;
  RecordingSink sink;
  // Everything up to ETX, but not the checksum byte.
  EXPECT_EQ(parser.Feed(stream.substr(0, 16), sink), ReceiveParser::Result::kContinue);
  EXPECT_TRUE(sink.sizes.empty());
  EXPECT_EQ(parser.pendingHeaderBytes(), 16u);
  EXPECT_EQ(parser.Feed(stream.substr(16), sink), ReceiveParser::Result::kContinue);
  ASSERT_EQ(sink.files.size(), 1u);
  EXPECT_EQ(sink.files[0], "abc");
}

TEST(ReceiveParserTest, EndOfOneFileAndNextHeaderInOneBuffer) {
  std::string first = "0123456789";
  std::string second(25, 'z');
  std::string stream = Header(first.size()) + first + TerminalHeaderFrame(WireName('S', "cfgfinal.dad"), 25) + second;
  ReceiveParser parser;
  RecordingSink sink;
  // The first piece ends inside the second header; the second holds the rest.
  EXPECT_EQ(parser.Feed(stream.substr(0, 35), sink), ReceiveParser::Result::kContinue);
  EXPECT_EQ(parser.Feed(stream.substr(35), sink), ReceiveParser::Result::kContinue);
  ASSERT_EQ(sink.files.size(), 2u);
  EXPECT_EQ(sink.files[0], first);
  EXPECT_EQ(sink.files[1], second);
  EXPECT_EQ(sink.completed, 2);
}

TEST(ReceiveParserTest, UnknownSizeEndsAtMarkerSplitAnywhere) {
  std::string data = std::string("\xCC\xBB\xCC\xBB data \xCC\xBB\xCC") + std::string(100, 'q');
  std::string stream = Header(std::nullopt) + data + std::string(kDataEndMarker);
  for (size_t piece = 1; piece <= 23; ++piece) {
    ReceiveParser parser;
    RecordingSink sink;
    FeedInPieces(parser, sink, stream, piece);
    ASSERT_EQ(sink.files.size(), 1u) << piece;
    EXPECT_EQ(sink.files[0], data) << piece;  // none of the marker's bytes
    EXPECT_EQ(sink.sizes[0], std::nullopt);
    EXPECT_EQ(sink.completed, 1) << piece;
  }
}

TEST(ReceiveParserTest, MarkerFollowedByMoreBytesIsData) {
  // The terminal sends nothing after the marker; a marker with bytes after
  // it in the same read belongs to the data.
  std::string data = "ab" + std::string(kDataEndMarker) + "cd";
  ReceiveParser parser;
  RecordingSink sink;
  parser.Feed(Header(std::nullopt) + data, sink);
  EXPECT_EQ(sink.completed, 0);
  parser.Feed(kDataEndMarker, sink);
  EXPECT_EQ(sink.completed, 1);
  EXPECT_EQ(sink.files[0], data);
}

// Only an end that may begin the marker waits for the next read; what
// cannot is stored at once, and what waited goes first when the marker
// does not follow.
TEST(ReceiveParserTest, UnknownSizeHoldsBackOnlyWhatMayBeginTheMarker) {
  ReceiveParser parser;
  RecordingSink sink;
  parser.Feed(Header(std::nullopt) + "abc", sink);
  EXPECT_EQ(sink.files[0], "abc");
  parser.Feed("de\xCC\xBB\xCC", sink);
  EXPECT_EQ(sink.files[0], "abcde");
  parser.Feed("\xBB\xCC\xBB!\xBB", sink);
  EXPECT_EQ(sink.files[0], "abcde\xCC\xBB\xCC\xBB\xCC\xBB!\xBB");
  parser.Feed(std::string("\xCC") + std::string(kDataEndMarker), sink);
  EXPECT_EQ(sink.completed, 1);
  EXPECT_EQ(sink.files[0], "abcde\xCC\xBB\xCC\xBB\xCC\xBB!\xBB\xCC");
}

TEST(ReceiveParserTest, BadChecksumAndEchoedFramesAreDropped) {
  std::string bad = Header(3);
  bad.back() = static_cast<char>(bad.back() ^ 1);
  ReceiveParser parser;
  RecordingSink sink;
  // The wrong header and whatever came with it are dropped.
  EXPECT_EQ(parser.Feed(bad + "abc", sink), ReceiveParser::Result::kContinue);
  EXPECT_EQ(parser.Feed(FileHeaderFrame(WireName('R', "user.dad"), 3), sink), ReceiveParser::Result::kContinue);
  EXPECT_TRUE(sink.sizes.empty());
  EXPECT_TRUE(parser.expectingHeader());
  // Noise before a good header is skipped.
  EXPECT_EQ(parser.Feed("noise" + Header(3) + "abc", sink), ReceiveParser::Result::kContinue);
  ASSERT_EQ(sink.files.size(), 1u);
  EXPECT_EQ(sink.files[0], "abc");
}

TEST(ReceiveParserTest, SizeZeroCompletesAtOnce) {
  ReceiveParser parser;
  RecordingSink sink;
  EXPECT_EQ(parser.Feed(Header(0), sink), ReceiveParser::Result::kContinue);
  ASSERT_EQ(sink.files.size(), 1u);
  EXPECT_EQ(sink.files[0], "");
  EXPECT_EQ(sink.completed, 1);
}

std::string FrameWithSize(const std::string& wire_file, const std::string& size) {
  std::string body = "\x02" + WireName('S', wire_file) + size + "\x03";
  return body + static_cast<char>(Checksum(body));
}

TEST(ReceiveParserTest, NegativeAndHugeSizesEnd) {
  {
    ReceiveParser parser;
    RecordingSink sink;
    EXPECT_EQ(parser.Feed(FrameWithSize("user.dad", "-5"), sink), ReceiveParser::Result::kInvalidSize);
    EXPECT_TRUE(sink.sizes.empty());
  }
  ReceiveParser parser;
  RecordingSink sink;
  EXPECT_EQ(parser.Feed(FrameWithSize("user.dad", std::to_string(kMaxReceivedFileSize + 1)), sink),
            ReceiveParser::Result::kTooLarge);
}

TEST(ReceiveParserTest, ABlankOrNonNumericSizeIsAnEmptyFileAndTheReadingGoesOn) {
  for (const char* size : {"", "     ", "abc"}) {
    ReceiveParser parser;
    RecordingSink sink;
    const std::string stream = FrameWithSize("id.dad", size) + Header(3) + "abc";
    EXPECT_EQ(parser.Feed(stream, sink), ReceiveParser::Result::kContinue) << '"' << size << '"';
    EXPECT_EQ(sink.sizes, (std::vector<std::optional<uint64_t>>{0, 3})) << '"' << size << '"';
    EXPECT_EQ(sink.files, (std::vector<std::string>{"", "abc"}));
    EXPECT_EQ(sink.completed, 2);
  }
}

TEST(ReceiveParserTest, ProgressFollowsEveryPieceUpToTheLast) {
  const std::string data(900, 'd');
  const std::string stream = Header(900) + data;
  const size_t header = stream.size() - data.size();
  {
    // Three pieces after the header: the last one ends the file.
    ReceiveParser parser;
    RecordingSink sink;
    parser.Feed(stream.substr(0, header), sink);
    for (size_t at = header; at < stream.size(); at += 300) parser.Feed(stream.substr(at, 300), sink);
    EXPECT_EQ(sink.left, (std::vector<uint64_t>{600, 300, 0}));
    EXPECT_EQ(ReceiveProgressText(sink.left.back(), 900, 80), "0 %");
  }
  {
    // The last piece holds more than the rest: the next header follows.
    ReceiveParser parser;
    RecordingSink sink;
    parser.Feed(stream.substr(0, header + 600), sink);
    parser.Feed(stream.substr(header + 600) + Header(2) + "xy", sink);
    EXPECT_EQ(sink.left, (std::vector<uint64_t>{300, 0, 0}));
  }
  {
    // Unknown size: nothing to count until the marker ends the file.
    ReceiveParser parser;
    RecordingSink sink;
    parser.Feed(Header(std::nullopt) + data, sink);
    EXPECT_TRUE(sink.left.empty());
    parser.Feed(kDataEndMarker, sink);
    EXPECT_EQ(sink.left, (std::vector<uint64_t>{0}));
  }
}

TEST(ReceiveParserTest, SinkEndsSession) {
  ReceiveParser parser;
  RecordingSink sink;
  sink.stop_after = 1;
  EXPECT_EQ(parser.Feed(Header(2) + "ab" + Header(2) + "cd", sink), ReceiveParser::Result::kEnd);
  EXPECT_EQ(sink.files.size(), 1u);
}

}  // namespace
}  // namespace kaslo::comm
