#include "mng_comp.h"

#include <cstdio>
#include <cstring>

#include "console.h"
#include "file_io.h"
#include "messages.h"

namespace vessik {
namespace {

constexpr std::uint32_t kChunkPoolSize = 32768;
constexpr const char* kDefaultOutputName = "mng.mng";

}  // namespace

std::string Fill(std::string_view pattern, std::initializer_list<std::string_view> args) {
  std::string out;
  out.reserve(pattern.size() + 64);
  auto arg = args.begin();
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size() &&
        (pattern[i + 1] == 's' || pattern[i + 1] == 'd') && arg != args.end()) {
      out += *arg++;
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

CMNGComp::CMNGComp() : pool_(kChunkPoolSize) {}

CMNGComp::~CMNGComp() = default;

bool CMNGComp::ConfirmOverwrite(const std::string& output_name) {
  if (!io::Exists(output_name)) {
    return true;
  }
  return console::AskYesNo(Fill(msg::kOverwriteConsole, {io::DisplayName(output_name)}));
}

std::string CMNGComp::ReadOutputName(std::optional<std::string> output_name) {
  if (output_name) {
    return *output_name;
  }
  std::string name = kDefaultOutputName;
  if (!parser_.PeekFirstLine()) {
    return name;
  }
  const std::string_view line = parser_.Token(0);
  if (line.empty() || line[0] != '#') {
    return name;
  }
  // Skips blanks from pos; npos at a CR, an LF or the end of the line.
  const auto skip = [&line](std::size_t pos) -> std::size_t {
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) {
      ++pos;
    }
    if (pos >= line.size() || line[pos] == '\r' || line[pos] == '\n') {
      return std::string_view::npos;
    }
    return pos;
  };
  std::size_t pos = skip(1);
  if (pos == std::string_view::npos || line.substr(pos, 3) != "MNG") {
    return name;
  }
  pos = skip(pos + 3);
  if (pos == std::string_view::npos || line[pos] != '=') {
    return name;
  }
  pos = skip(pos + 1);
  if (pos == std::string_view::npos) {
    return name;
  }
  std::size_t end = pos;
  while (end < line.size() && static_cast<unsigned char>(line[end]) >= 0x20) {
    ++end;
  }
  return std::string(line.substr(pos, end - pos));
}

bool CMNGComp::Compile(const std::string& script_path, std::optional<std::string> output_name) {
  if (!parser_.Load(script_path)) {
    message_ = msg::kLoadFailed;
    return false;
  }
  return CompileLines(ReadOutputName(std::move(output_name)));
}

bool CMNGComp::CompileText(std::string_view script, const std::string& output_name) {
  parser_.SetText(script);
  return CompileLines(output_name);
}

bool CMNGComp::CompileLines(const std::string& output_name) {
  if (!ConfirmOverwrite(output_name)) {
    message_ = msg::kWriteCancelled;
    return true;
  }
  // A name that cannot become a file fails before anything is written.
  if (output_name.empty() || !writer_.Open(output_name)) {
    message_ = msg::kWriteFailed;
    return false;
  }
  writer_.WriteSignature();
  line_ = 1;
  for (;;) {
    if (!CompileLine()) {
      writer_.Discard();
      return false;
    }
    if (writer_.Failed()) {
      writer_.Discard();
      message_ = msg::kWriteFailed;
      return false;
    }
    if (parser_.AtEnd()) {
      break;
    }
    ++line_;
  }
  if (!writer_.Close()) {
    message_ = msg::kWriteFailed;
    return false;
  }
  message_ = Fill(msg::kWrittenAs, {io::DisplayName(output_name)});
  return true;
}

bool CMNGComp::FailLine(std::string_view text) {
  char prefix[48];
  std::snprintf(prefix, sizeof prefix, "(%lld行目) ", line_);
  message_.clear();
  message_.append(prefix).append(text);
  return false;
}

bool CMNGComp::CompileLine() {
  if (!parser_.ReadLine()) {
    message_ = parser_.Message();
    return false;
  }
  if (parser_.AtEnd() || parser_.TokenCount() == 0) {
    return true;
  }
  const std::string_view name = parser_.Token(0);
  if (name.size() != 4) {
    return FailLine(msg::kNotChunk);
  }
  pool_.Reset();
  pool_.Append(name.data(), 4);
  for (const ChunkRow& row : kChunkTable) {
    if (std::memcmp(row.name, name.data(), 4) == 0) {
      return (this->*row.handler)(row);
    }
  }
  return FailLine(msg::kUnknownChunk);
}

bool CMNGComp::EncodeParam(std::size_t index, char letter) {
  std::uint8_t bytes[4];
  std::size_t size = 0;
  switch (letter) {
    case '1':
    case '2':
    case '4': {
      const std::uint32_t v = Number(index);
      size = static_cast<std::size_t>(letter - '0');
      for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(v >> (8 * (size - 1 - i)));
      }
      break;
    }
    case 's': {
      const std::string_view token = parser_.Token(index);
      if (token != "\\0" && !pool_.Append(token.data(), token.size())) {
        return FailLine(msg::kNoMemory);
      }
      // A zero byte separates the string from any token that follows it.
      if (index + 1 < parser_.TokenCount()) {
        bytes[0] = 0;
        size = 1;
      }
      break;
    }
    default:
      break;  // passed over
  }
  if (!pool_.Append(bytes, size)) {
    return FailLine(msg::kNoMemory);
  }
  return true;
}

bool CMNGComp::EncodeFields(std::string_view format, std::size_t first, std::size_t count) {
  if (format.empty()) {
    message_ = Fill(msg::kEmptyFormat, {std::to_string(line_)});
    return false;
  }
  const std::size_t tokens = parser_.TokenCount();
  std::size_t last = tokens;
  if (count != 0 && first + count < tokens) {
    last = first + count;
  }
  for (std::size_t i = first; i < last; ++i) {
    const std::size_t k = i - first;
    if (!EncodeParam(i, format[k < format.size() ? k : format.size() - 1])) {
      return false;
    }
  }
  return true;
}

bool CMNGComp::EncodeRepeating(std::string_view format, std::size_t first) {
  if (format.empty()) {
    message_ = Fill(msg::kEmptyFormat, {std::to_string(line_)});
    return false;
  }
  const std::size_t tokens = parser_.TokenCount();
  const std::size_t remaining = first < tokens ? tokens - first : 0;
  if (remaining % format.size() != 0) {
    return ReportParamCount();
  }
  for (std::size_t i = first; i < tokens; ++i) {
    if (!EncodeParam(i, format[(i - first) % format.size()])) {
      return false;
    }
  }
  return true;
}

bool CMNGComp::EmitChunk() {
  writer_.SetBlock(pool_.GetData(), pool_.GetLength());
  writer_.WriteChunk();
  return true;
}

bool CMNGComp::EncodeAndEmit(std::string_view format) {
  if (!EncodeFields(format, 1, 0)) {
    return false;
  }
  return EmitChunk();
}

bool CMNGComp::ReportParamCount() {
  return FailLine(msg::kParamCount);
}

}  // namespace vessik
