#include <cstring>
#include <string>

#include "messages.h"
#include "mng_comp.h"

namespace vessik {
namespace {

constexpr std::uint32_t kNone = 0xFFFFFFFFu;

constexpr ParamCounts Exactly(std::initializer_list<unsigned> counts) {
  std::uint32_t mask = 0;
  for (unsigned n : counts) {
    mask |= 1u << n;
  }
  return {mask, kNone};
}
constexpr ParamCounts Between(unsigned low, unsigned high) {
  std::uint32_t mask = 0;
  for (unsigned n = low; n <= high; ++n) {
    mask |= 1u << n;
  }
  return {mask, kNone};
}
constexpr ParamCounts AtLeast(unsigned low) {
  return {0, low};
}

constexpr std::uint8_t kPngSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
constexpr std::uint8_t kJngSignature[8] = {0x8B, 0x4A, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

}  // namespace

// Rows with a handler of their own check their counts themselves; for them the
// counts column only documents what they take.
const ChunkRow CMNGComp::kChunkTable[30] = {
    {{'D', 'E', 'B', 'G'}, AtLeast(0), "1234ssss421", &CMNGComp::HandlePlain},
    {{'M', 'H', 'D', 'R'}, Exactly({7}), "4", &CMNGComp::HandlePlain},
    {{'M', 'E', 'N', 'D'}, Exactly({0}), "", &CMNGComp::HandlePlain},
    {{'L', 'O', 'O', 'P'}, AtLeast(2), "1414", &CMNGComp::HandlePlain},
    {{'E', 'N', 'D', 'L'}, Exactly({1}), "1", &CMNGComp::HandlePlain},
    {{'D', 'E', 'F', 'I'}, Exactly({1, 2, 3, 5, 9}), "211444444", &CMNGComp::HandlePlain},
    {{'I', 'H', 'D', 'R'}, Exactly({1}), "", &CMNGComp::HandleIhdr},
    {{'J', 'H', 'D', 'R'}, Exactly({1}), "", &CMNGComp::HandleJhdr},
    {{'C', 'L', 'O', 'N'}, Exactly({2, 3, 4, 5, 8}), "22111144", &CMNGComp::HandlePlain},
    {{'P', 'A', 'S', 'T'}, AtLeast(15), "2144", &CMNGComp::HandlePast},
    {{'M', 'A', 'G', 'N'}, Between(1, 10), "2212222221", &CMNGComp::HandlePlain},
    {{'D', 'I', 'S', 'C'}, AtLeast(1), "2", &CMNGComp::HandlePlain},
    {{'T', 'E', 'R', 'M'}, Exactly({1, 4}), "1", &CMNGComp::HandleTerm},
    {{'B', 'A', 'C', 'K'}, Between(3, 6), "222121", &CMNGComp::HandlePlain},
    {{'F', 'R', 'A', 'M'}, Exactly({0, 1, 2}), "1", &CMNGComp::HandleFram},
    {{'M', 'O', 'V', 'E'}, Exactly({5}), "22144", &CMNGComp::HandlePlain},
    {{'C', 'L', 'I', 'P'}, Exactly({7}), "2214444", &CMNGComp::HandlePlain},
    {{'S', 'H', 'O', 'W'}, Between(0, 3), "221", &CMNGComp::HandlePlain},
    {{'S', 'A', 'V', 'E'}, AtLeast(0), "1", &CMNGComp::HandleSave},
    {{'S', 'E', 'E', 'K'}, Between(0, 1), "s", &CMNGComp::HandlePlain},
    {{'e', 'X', 'P', 'I'}, Exactly({2}), "2s", &CMNGComp::HandlePlain},
    {{'f', 'P', 'R', 'I'}, Exactly({2}), "11", &CMNGComp::HandlePlain},
    {{'n', 'E', 'E', 'D'}, AtLeast(1), "s", &CMNGComp::HandlePlain},
    {{'p', 'H', 'Y', 'g'}, Exactly({3}), "441", &CMNGComp::HandlePlain},
    {{'t', 'E', 'X', 't'}, Exactly({2}), "s", &CMNGComp::HandlePlain},
    {{'t', 'I', 'M', 'E'}, Exactly({6}), "211111", &CMNGComp::HandlePlain},
    {{'c', 'H', 'R', 'M'}, Exactly({8}), "4", &CMNGComp::HandlePlain},
    {{'g', 'A', 'M', 'A'}, Exactly({1}), "4", &CMNGComp::HandlePlain},
    {{'s', 'R', 'G', 'B'}, Exactly({1}), "1", &CMNGComp::HandlePlain},
    {{'p', 'H', 'Y', 's'}, Exactly({3}), "441", &CMNGComp::HandlePlain},
};

bool CMNGComp::HandlePlain(const ChunkRow& row) {
  const std::size_t n = ParamCount();
  if (!row.counts.Accepts(n)) {
    return ReportParamCount();
  }
  if (n == 0) {
    return EmitChunk();
  }
  return EncodeAndEmit(row.format);
}

bool CMNGComp::HandleIhdr(const ChunkRow& row) {
  if (!row.counts.Accepts(ParamCount())) {
    return ReportParamCount();
  }
  return EmbedImage(std::string(parser_.Token(1)), kPngSignature);
}

bool CMNGComp::HandleJhdr(const ChunkRow& row) {
  if (!row.counts.Accepts(ParamCount())) {
    return ReportParamCount();
  }
  return EmbedImage(std::string(parser_.Token(1)), kJngSignature);
}

bool CMNGComp::HandlePast(const ChunkRow& row) {
  if (!row.counts.Accepts(ParamCount())) {
    return ReportParamCount();
  }
  // The target, then one group of 11 parameters per source image.
  if (!EncodeFields(row.format, 1, 4) || !EncodeRepeating("21114414444", 5)) {
    return false;
  }
  return EmitChunk();
}

bool CMNGComp::HandleTerm(const ChunkRow&) {
  switch (ParamCount()) {
    case 1:
      return EncodeAndEmit("1");
    case 4:
      if (Number(1) != 3) {
        return FailLine(msg::kTermFirst);
      }
      return EncodeAndEmit("1144");
    default:
      return ReportParamCount();
  }
}

bool CMNGComp::HandleFram(const ChunkRow&) {
  const std::size_t n = ParamCount();
  if (n == 0) {
    return EmitChunk();
  }
  if (!EncodeFields("1", 1, 1)) {  // framing mode
    return false;
  }
  if (n == 1) {
    return EmitChunk();
  }
  if (!EncodeFields("s", 2, 1)) {  // subframe name
    return false;
  }
  if (n == 2) {
    return EmitChunk();
  }
  if (n < 6) {
    return ReportParamCount();
  }
  // The four change flags decide which optional fields follow.
  std::string format = "1111";
  long long rest = static_cast<long long>(n) - 6;
  if (Number(3) != 0) {  // interframe delay
    format += '4';
    rest -= 1;
  }
  if (Number(4) != 0) {  // timeout
    format += '4';
    rest -= 1;
  }
  if (Number(5) != 0) {  // layer clipping boundaries
    format += "14444";
    rest -= 5;
  }
  if (Number(6) != 0) {  // at most one sync id
    if (rest == 1) {
      format += '4';
    } else if (rest != 0) {
      return ReportParamCount();
    }
  } else if (rest != 0) {
    return ReportParamCount();
  }
  if (!EncodeFields(format, 3, format.size())) {
    return false;
  }
  return EmitChunk();
}

bool CMNGComp::HandleSave(const ChunkRow&) {
  const std::size_t n = ParamCount();
  if (n == 0) {
    return EmitChunk();
  }
  const std::uint32_t offset_size = Number(1);
  if (offset_size == 8) {
    return FailLine(msg::kSaveOnly4);
  }
  if (offset_size != 4) {
    return FailLine(msg::kSave4or8);
  }
  if (!EncodeFields("1", 1, 1)) {
    return false;
  }
  const std::size_t tokens = parser_.TokenCount();
  std::size_t entry = 2;
  while (entry < tokens) {
    const std::size_t rest = tokens - entry;  // entry type included
    bool ok = true;
    switch (Number(entry)) {
      case 0:
        if (rest < 5) {
          return ReportParamCount();
        }
        ok = EncodeFields("14444s", entry, 6);
        entry += 6;
        break;
      case 1:
        if (rest < 2) {
          return ReportParamCount();
        }
        ok = EncodeFields("14s", entry, 3);
        entry += 3;
        break;
      case 2:
      case 3:
        ok = EncodeFields("1s", entry, 2);
        entry += 2;
        break;
      default:
        return FailLine(msg::kEntryType);
    }
    if (!ok) {
      return false;
    }
  }
  return EmitChunk();
}

bool CMNGComp::EmbedImage(const std::string& file_name, const std::uint8_t (&signature)[8]) {
  const std::string type(reinterpret_cast<const char*>(signature) + 1, 3);
  io::InputFile in;
  if (!in.Open(file_name)) {
    return FailLine(Fill(msg::kImageRead, {type}));
  }
  std::uint8_t head[8];
  std::size_t got = 0;
  while (got < sizeof head) {
    const std::int64_t r = in.Read(head + got, sizeof head - got);
    if (r < 0) {
      return FailLine(Fill(msg::kImageRead, {type}));
    }
    if (r == 0) {
      break;
    }
    got += static_cast<std::size_t>(r);
  }
  if (got < sizeof head || std::memcmp(head, signature, sizeof head) != 0) {
    return FailLine(Fill(msg::kNotImage, {io::DisplayName(file_name), type}));
  }
  // The rest of the file, as it was when opened, goes out unchanged. A file
  // that shrinks meanwhile is a read failure.
  const std::uint64_t rest = in.Size() > sizeof head ? in.Size() - sizeof head : 0;
  if (!writer_.CopyRaw(in, rest)) {
    return FailLine(Fill(msg::kImageRead, {type}));
  }
  return true;
}

}  // namespace vessik
