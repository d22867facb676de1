#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "bin_pool.h"
#include "parser.h"
#include "png_mng.h"

namespace vessik {

class CMNGComp;

// Which parameter counts a chunk row accepts: every n whose bit is set in
// mask (n < 32), and every n >= open_from.
struct ParamCounts {
  std::uint32_t mask;
  std::uint32_t open_from;
  bool Accepts(std::size_t n) const {
    return n >= open_from || (n < 32 && ((mask >> n) & 1u) != 0);
  }
};

// One row of the chunk table: the name, the accepted counts and the field
// format, or a handler for a chunk with rules of its own.
struct ChunkRow {
  char name[4];
  ParamCounts counts;
  const char* format;
  bool (CMNGComp::*handler)(const ChunkRow& row);
};

// Compiles a script into an MNG file. Every step returns false and leaves its
// message in Message() when it fails; the first failing line ends the run and
// leaves no output behind.
class CMNGComp {
 public:
  CMNGComp();
  CMNGComp(const CMNGComp&) = delete;
  CMNGComp& operator=(const CMNGComp&) = delete;

  // May the output file be created, replacing a file of that name? The base
  // version asks on the console; end of input answers no.
  virtual bool ConfirmOverwrite(const std::string& output_name);
  virtual ~CMNGComp();

  // Runs one compile. true: complete (the message is information, also when
  // the user declined to overwrite); false: failed (the message says why).
  bool Compile(const std::string& script_path,
               std::optional<std::string> output_name = std::nullopt);
  // Compiles script text held in memory, writing the MNG to output_name
  // relative to the current directory. For tools and tests.
  bool CompileText(std::string_view script, const std::string& output_name);

  // The output name the script's first line gives, or "mng.mng".
  std::string ReadOutputName(std::optional<std::string> output_name);

  const std::string& Message() const { return message_; }
  long long LineNumber() const { return line_; }

  // The chunk table, in the order names are compared.
  static const ChunkRow kChunkTable[30];

 protected:
  bool CompileLine();
  bool EncodeParam(std::size_t index, char letter);
  bool EncodeFields(std::string_view format, std::size_t first, std::size_t count);
  bool EncodeRepeating(std::string_view format, std::size_t first);
  bool EmitChunk();
  bool EncodeAndEmit(std::string_view format);
  bool ReportParamCount();
  // Copies an image file without its 8-byte signature into the output.
  bool EmbedImage(const std::string& file_name, const std::uint8_t (&signature)[8]);

  // Chunk handlers.
  bool HandlePlain(const ChunkRow& row);
  bool HandleIhdr(const ChunkRow& row);
  bool HandleJhdr(const ChunkRow& row);
  bool HandlePast(const ChunkRow& row);
  bool HandleTerm(const ChunkRow& row);
  bool HandleFram(const ChunkRow& row);
  bool HandleSave(const ChunkRow& row);

 private:
  bool CompileLines(const std::string& output_name);
  std::size_t ParamCount() const { return parser_.TokenCount() - 1; }
  std::uint32_t Number(std::size_t index) const { return ParseNumber(parser_.Token(index)); }
  // Sets the message to "(N行目) " followed by text.
  bool FailLine(std::string_view text);

  CBinPool pool_;
  CParser parser_;
  CPngMng writer_;
  std::string message_;
  long long line_ = 0;
};

// Replaces each "%s" and "%d" of pattern in turn by the next argument, byte
// for byte (names from scripts may hold any bytes).
std::string Fill(std::string_view pattern, std::initializer_list<std::string_view> args);

}  // namespace vessik
