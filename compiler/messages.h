#pragma once

// The texts the compiler shows. They are UTF-8 in the source; on Windows the
// front end converts them at the system boundary.
namespace vessik::msg {

// Captions of the final message and the overwrite question.
inline constexpr const char* kCaptionDone = "完了";
inline constexpr const char* kCaptionError = "エラー";
inline constexpr const char* kCaptionConfirm = "上書確認";
inline constexpr const char* kChooseTitle = "MNGコンパイラ用リソースの選択";
inline constexpr const char* kFilterText = "テキストファイル(*.txt)";
inline constexpr const char* kFilterAll = "すべてのファイル(*.*)";

// Compiler object.
inline constexpr const char* kEnterDirFailed = "カレントディレクトリの移動に失敗しました。";
inline constexpr const char* kLoadFailed = "リソースファイルの読込に失敗しました。\n";
inline constexpr const char* kWriteCancelled = "MNGファイルの書出を中止しました。\n";
inline constexpr const char* kWriteFailed = "MNGファイルの書出に失敗しました。\n";
inline constexpr const char* kWrittenAs = "\"%s\" という名前で出力しました。\n";
inline constexpr const char* kOverwriteBox = "\"%s\"はすでに存在します。\n上書きしますか？";
inline constexpr const char* kOverwriteConsole = "\"%s\"はすでに存在します。上書きしますか？(Y/N) ";

// Line messages: CMNGComp::FailLine() puts "(N行目) " before each, but for
// kEmptyFormat, which holds its line number itself.
inline constexpr const char* kNotChunk = "チャンクでもコメントでもない文字列です。\n";
inline constexpr const char* kUnknownChunk = "未対応のチャンクです。\n";
inline constexpr const char* kParamCount = "パラメータの数が正しくありません。\n";
inline constexpr const char* kTermFirst =
    "TERMチャンクは最初のパラメータが3以外の時、2つ目以降のパラメータを省略せねばなりません。\n";
inline constexpr const char* kSaveOnly4 =
    "このバイナリの制限により、SAVEチャンクの最初のパラメータは4のみが指定可能です。\n";
inline constexpr const char* kSave4or8 =
    "SAVEチャンクの最初のパラメータは4か8でなければなりません。\n";
inline constexpr const char* kEntryType = "entry_typeの値は0-3のみが指定可能です。\n";
inline constexpr const char* kImageRead = "%sファイルの読込に失敗しました。\n";
inline constexpr const char* kNoMemory = "バッファの確保に失敗しました。\n";
inline constexpr const char* kNotImage = "%sは%sファイルではありません。\n";
inline constexpr const char* kEmptyFormat = "内部エラー・空のリストが渡された(%d行目)。\n";

// Parser.
inline constexpr const char* kTooManyTokens = "パラメータの数がPARAM_MAX個を越えています。\n";
inline constexpr const char* kFileRead = "ファイルの読込に失敗しました。";
inline constexpr const char* kFileBuffer = "読込用ファイルバッファの確保に失敗しました。";

}  // namespace vessik::msg
