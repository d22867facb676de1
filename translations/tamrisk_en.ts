<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja_JP">
<context>
    <name>tamrisk::AnimationEncoder</name>
    <message>
        <source>メモリが足りません。</source>
        <translation>Out of memory.</translation>
    </message>
    <message>
        <source>書き終えたか符号化に失敗したアニメーションには、コマを足せません。</source>
        <translation>Cannot add frames to an animation that is finished or whose encoding failed.</translation>
    </message>
    <message>
        <source>コマの大きさ %1 × %2 がアニメーションの大きさ %3 × %4 と違います。</source>
        <translation>A frame of %1 × %2 differs from the animation&apos;s size, %3 × %4.</translation>
    </message>
    <message>
        <source>符号化に失敗したため、書き出せません。</source>
        <translation>Cannot write: the encoding failed.</translation>
    </message>
    <message>
        <source>アニメーションにするコマがありません。</source>
        <translation>There are no frames to make an animation of.</translation>
    </message>
</context>
<context>
    <name>tamrisk::AnimationFormats</name>
    <message>
        <source>MNG</source>
        <translation>MNG</translation>
    </message>
    <message>
        <source>MNG（全コマ）</source>
        <translation>MNG (every frame)</translation>
    </message>
    <message>
        <source>MNG（差分）</source>
        <translation>compact MNG</translation>
    </message>
    <message>
        <source>MNG（差分・小さい）</source>
        <translation>Compact MNG (changed areas, smaller)</translation>
    </message>
    <message>
        <source>APNG</source>
        <translation>APNG</translation>
    </message>
    <message>
        <source>APNG (.png)</source>
        <translation>APNG (.png)</translation>
    </message>
    <message>
        <source>GIF</source>
        <translation>GIF</translation>
    </message>
    <message>
        <source>GIF (.gif)</source>
        <translation>GIF (.gif)</translation>
    </message>
    <message>
        <source>an empty animation format in &quot;%1&quot;</source>
        <translation>an empty animation format in &quot;%1&quot;</translation>
    </message>
    <message>
        <source>mng and compact-mng both write &lt;basename&gt;.mng: choose one</source>
        <translation>mng and compact-mng both write &lt;basename&gt;.mng: choose one</translation>
    </message>
    <message>
        <source>WebP</source>
        <translation>WebP</translation>
    </message>
    <message>
        <source>WebP (.webp)</source>
        <translation>WebP (.webp)</translation>
    </message>
    <message>
        <source>スプライトシート</source>
        <translation>sprite sheet</translation>
    </message>
    <message>
        <source>スプライトシート (PNG + JSON)</source>
        <translation>Sprite sheet (PNG + JSON)</translation>
    </message>
    <message>
        <source>unknown animation format &quot;%1&quot; (%2)</source>
        <translation>unknown animation format &quot;%1&quot; (%2)</translation>
    </message>
</context>
<context>
    <name>tamrisk::AnimationTest</name>
    <message>
        <source>テスト中断</source>
        <translation>Stop test</translation>
    </message>
    <message>
        <source>アニメテスト</source>
        <translation>Test animation</translation>
    </message>
</context>
<context>
    <name>tamrisk::CompilerRun</name>
    <message>
        <source>完了</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>エラー</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>MNGコンパイラ「%1」を起動できませんでした（%2）。</source>
        <translation>Could not start the MNG compiler “%1” (%2).</translation>
    </message>
    <message>
        <source>MNGコンパイラが%1秒たっても終わらないため、止めました。</source>
        <translation>The MNG compiler had not finished after %1 seconds and was stopped.</translation>
    </message>
    <message>
        <source>MNGコンパイラが異常終了しました（%1）。</source>
        <translation>The MNG compiler ended abnormally (%1).</translation>
    </message>
    <message>
        <source>MNGコンパイラが終了コード %1 で終わりました。%2</source>
        <translation>The MNG compiler ended with exit code %1. %2</translation>
    </message>
    <message>
        <source>MNGコンパイラは台本の%1行目で止まりました。</source>
        <translation>The MNG compiler stopped at line %1 of the script.</translation>
    </message>
    <message>
        <source>MNGコンパイラは台本を読み込めませんでした。</source>
        <translation>The MNG compiler could not read the script.</translation>
    </message>
    <message>
        <source>MNGコンパイラはMNGファイルを作れませんでした。</source>
        <translation>The MNG compiler could not create the MNG file.</translation>
    </message>
    <message>
        <source>MNGコンパイラはMNGファイルを作らずに終わりました。</source>
        <translation>The MNG compiler ended without writing the MNG file.</translation>
    </message>
    <message>
        <source>MNGコンパイラは出力フォルダに移れませんでした。</source>
        <translation>The MNG compiler could not change to the output folder.</translation>
    </message>
    <message>
        <source>MNGファイルを書き出しました。</source>
        <translation>The MNG file is written.</translation>
    </message>
    <message>
        <source>「%1」を書き出しました。</source>
        <translation>Wrote “%1”.</translation>
    </message>
    <message>
        <source>MNGコンパイラがエラーを知らせました。</source>
        <translation>The MNG compiler reported an error.</translation>
    </message>
</context>
<context>
    <name>tamrisk::ExportPaths</name>
    <message>
        <source>ファイル名「%1」には空白、タブ、改行、フォルダの区切り（%2）を使えません。</source>
        <translation>The file name “%1” cannot contain blanks, tabs, line breaks or folder separators (%2).</translation>
    </message>
</context>
<context>
    <name>tamrisk::Exporter</name>
    <message>
        <source>コマのファイル「%1」を書き出せませんでした（%2）。</source>
        <translation>Could not write the frame file “%1” (%2).</translation>
    </message>
    <message>
        <source>出力先のフォルダ「%1」がありません。</source>
        <translation>The output folder “%1” does not exist.</translation>
    </message>
    <message>
        <source>%1のファイル「%2」を書き出せませんでした（%3）。</source>
        <translation>Could not write the %1 file “%2” (%3).</translation>
    </message>
    <message numerus="yes">
        <source>%nコマをBMPファイルに書き出しました。</source>
        <translation>
            <numerusform>Wrote %n frame as a BMP file.</numerusform>
            <numerusform>Wrote %n frames as BMP files.</numerusform>
        </translation>
    </message>
    <message>
        <source>「%1」を残し、MNGファイルは作りませんでした。</source>
        <translation>Kept “%1” and made no MNG file.</translation>
    </message>
    <message>
        <source>前回の出力「%1」を削除できませんでした。</source>
        <translation>Could not delete the earlier output “%1”.</translation>
    </message>
    <message>
        <source>MNGコンパイラの出力「%1」が見つかりません。</source>
        <translation>The MNG compiler&apos;s output “%1” is missing.</translation>
    </message>
    <message>
        <source>「%1」を「%2」に置き換えられませんでした（%3）。</source>
        <translation>Could not rename “%1” to “%2” (%3).</translation>
    </message>
    <message numerus="yes">
        <source>%nコマをPNGファイルに書き出しました。</source>
        <translation>
            <numerusform>Wrote %n frame as a PNG file.</numerusform>
            <numerusform>Wrote %n frames as PNG files.</numerusform>
        </translation>
    </message>
    <message>
        <source>」「</source>
        <extracomment>Joins the names of the kept files inside the quotes of the message 「%1」を残し、アニメーションは作りませんでした。</extracomment>
        <translation>”, “</translation>
    </message>
    <message>
        <source>「%1」を残し、アニメーションは作りませんでした。</source>
        <translation>Kept “%1” and made no animation.</translation>
    </message>
    <message>
        <source>アニメーションを書き出しました。</source>
        <translation>Wrote the animations.</translation>
    </message>
    <message>
        <source>書き出すコマがありません。コマの並びにパターンの番号を入力してください。</source>
        <translation>There are no frames to export. Type pattern numbers into the frame sequence.</translation>
    </message>
    <message>
        <source>%1倍に拡大すると %2 × %3 ピクセルになり、アニメーションにできる大きさ（縦横 %4 ピクセルまで）を超えます。</source>
        <translation>Scaled %1 times, the animation would be %2 × %3 pixels, more than an animation can hold (%4 pixels a side).</translation>
    </message>
</context>
<context>
    <name>tamrisk::GifBlock</name>
    <message>
        <source>GIF: 符号化に失敗しました（%1）。</source>
        <translation>GIF: encoding failed (%1).</translation>
    </message>
</context>
<context>
    <name>tamrisk::GifEncoder</name>
    <message>
        <source>%1 × %2 ピクセルの画像はGIFにできません（縦横 %3 ピクセルまで）。</source>
        <translation>A picture of %1 × %2 pixels cannot be a GIF (at most %3 pixels each way).</translation>
    </message>
    <message>
        <source>%1〜%2</source>
        <extracomment>A run of frame numbers, first to last, in the list of reduced frames.</extracomment>
        <translation>%1–%2</translation>
    </message>
    <message>
        <source>GIF: 256色を超えるコマ（%1）を256色に減らしました。</source>
        <translation>GIF: reduced the frames of more than 256 colours (%1) to 256 colours.</translation>
    </message>
</context>
<context>
    <name>tamrisk::Headless</name>
    <message>
        <source>Tamrisk: %1
</source>
        <translation>Tamrisk: %1
</translation>
    </message>
    <message>
        <source>
Try &apos;Tamrisk --help&apos;.</source>
        <translation>
Try &apos;Tamrisk --help&apos;.</translation>
    </message>
    <message>
        <source>%1 exists; add --force to replace it</source>
        <translation>%1 exists; add --force to replace it</translation>
    </message>
    <message>
        <source>frame %1/%2 %3
</source>
        <translation>frame %1/%2 %3
</translation>
    </message>
    <message>
        <source>compiling %1
</source>
        <translation>compiling %1
</translation>
    </message>
    <message>
        <source>writing %1 %2
</source>
        <translation>writing %1 %2
</translation>
    </message>
    <message>
        <source>wrote %1 (%2 bytes)
</source>
        <translation>wrote %1 (%2 bytes)
</translation>
    </message>
    <message>
        <source>Makes frames and an MNG animation from a settings file, without a window.
Relative paths in the file are taken from its own folder. Without --output-dir
the frames go to the output folder the file names. An existing animation is
replaced only with --force.</source>
        <translation>Makes frames and an MNG animation from a settings file, without a window.
Relative paths in the file are taken from its own folder. Without --output-dir
the frames go to the output folder the file names. An existing animation is
replaced only with --force.</translation>
    </message>
    <message>
        <source>Export the project in &lt;FILE.pst&gt;.</source>
        <translation>Export the project in &lt;FILE.pst&gt;.</translation>
    </message>
    <message>
        <source>PNG frames compiled into &lt;basename&gt;.mng (default).</source>
        <translation>PNG frames compiled into &lt;basename&gt;.mng (default).</translation>
    </message>
    <message>
        <source>BMP frames only, no animation.</source>
        <translation>BMP frames only, no animation.</translation>
    </message>
    <message>
        <source>Write into &lt;DIR&gt; instead (created when missing).</source>
        <translation>Write into &lt;DIR&gt; instead (created when missing).</translation>
    </message>
    <message>
        <source>Replace an existing &lt;basename&gt;.mng.</source>
        <translation>Replace an existing &lt;basename&gt;.mng.</translation>
    </message>
    <message>
        <source>The MNG compiler to run (default: vessik beside Tamrisk).</source>
        <translation>The MNG compiler to run (default: vessik beside Tamrisk).</translation>
    </message>
    <message>
        <source>Tamrisk %1
</source>
        <translation>Tamrisk %1
</translation>
    </message>
    <message>
        <source>these options need --export FILE.pst</source>
        <translation>these options need --export FILE.pst</translation>
    </message>
    <message>
        <source>unexpected argument %1</source>
        <translation>unexpected argument %1</translation>
    </message>
    <message>
        <source>--png and --bmp exclude each other</source>
        <translation>--png and --bmp exclude each other</translation>
    </message>
    <message>
        <source>--format makes animations of PNG frames; drop --bmp</source>
        <translation>--format makes animations of PNG frames; drop --bmp</translation>
    </message>
    <message>
        <source>%1: no such settings file</source>
        <translation>%1: no such settings file</translation>
    </message>
    <message>
        <source>%1: not a settings file (a folder or a device)</source>
        <translation>%1: not a settings file (a folder or a device)</translation>
    </message>
    <message>
        <source>cannot create the folder %1</source>
        <translation>cannot create the folder %1</translation>
    </message>
    <message>
        <source>Tamrisk: no display for the editor&apos;s window (neither DISPLAY nor WAYLAND_DISPLAY is set);
Tamrisk --export FILE.pst works without one, see &apos;Tamrisk --help&apos;
</source>
        <translation>Tamrisk: no display for the editor&apos;s window (neither DISPLAY nor WAYLAND_DISPLAY is set);
Tamrisk --export FILE.pst works without one, see &apos;Tamrisk --help&apos;
</translation>
    </message>
    <message>
        <source>PNG mode: the animations to make, comma-separated: mng (every frame whole, through the compiler; the default), compact-mng (&lt;basename&gt;.mng of the changed rectangles), apng (&lt;basename&gt;.png), gif (&lt;basename&gt;.gif), webp (&lt;basename&gt;.webp, lossless), sheet (&lt;basename&gt;_sheet.png and &lt;basename&gt;_sheet.json, a sprite sheet).</source>
        <translation>PNG mode: the animations to make, comma-separated: mng (every frame whole, through the compiler; the default), compact-mng (&lt;basename&gt;.mng of the changed rectangles), apng (&lt;basename&gt;.png), gif (&lt;basename&gt;.gif), webp (&lt;basename&gt;.webp, lossless), sheet (&lt;basename&gt;_sheet.png and &lt;basename&gt;_sheet.json, a sprite sheet).</translation>
    </message>
    <message>
        <source>Frames a second of the animations, %1 to %2, instead of the project&apos;s own.</source>
        <translation>Frames a second of the animations, %1 to %2, instead of the project&apos;s own.</translation>
    </message>
    <message>
        <source>How often the animations play, 1 to %1, or 0 for ever, instead of the project&apos;s own.</source>
        <translation>How often the animations play, 1 to %1, or 0 for ever, instead of the project&apos;s own.</translation>
    </message>
    <message>
        <source>Show every pixel of the animations as an N x N block, 1 to %1, instead of the project&apos;s scale; the frame files keep their size.</source>
        <translation>Show every pixel of the animations as an N x N block, 1 to %1, instead of the project&apos;s scale; the frame files keep their size.</translation>
    </message>
    <message>
        <source>Usage: Tamrisk --export FILE.pst [--png|--bmp] [--format LIST] [--fps N] [--loop N] [--scale N] [--output-dir DIR] [--force]
</source>
        <translation>Usage: Tamrisk --export FILE.pst [--png|--bmp] [--format LIST] [--fps N] [--loop N] [--scale N] [--output-dir DIR] [--force]
</translation>
    </message>
    <message>
        <source>--%1 takes a whole number from %2 to %3, not &quot;%4&quot;</source>
        <translation>--%1 takes a whole number from %2 to %3, not &quot;%4&quot;</translation>
    </message>
</context>
<context>
    <name>tamrisk::LayerPicture</name>
    <message>
        <source>レイヤー番号 %1 はありません。</source>
        <translation>There is no layer number %1.</translation>
    </message>
    <message>
        <source>PNG画像ではないか、壊れています。</source>
        <translation>It is not a PNG picture, or it is damaged.</translation>
    </message>
    <message>
        <source>読めない形式の画像か、壊れています。</source>
        <translation>The picture is in a format that cannot be read, or it is damaged.</translation>
    </message>
    <message>
        <source>%1に「%2」を読み込めません。
%3</source>
        <translation>Cannot load “%2” into %1.
%3</translation>
    </message>
</context>
<context>
    <name>tamrisk::MngScript</name>
    <message>
        <source>スクリプト「%1」に、この環境の文字コードで書けない文字があります。</source>
        <translation>The script “%1” contains characters that this system&apos;s encoding cannot write.</translation>
    </message>
    <message>
        <source>スクリプト「%1」を書き出せませんでした（%2）。</source>
        <translation>Could not write the script “%1” (%2).</translation>
    </message>
</context>
<context>
    <name>tamrisk::PlainBackground</name>
    <message>
        <source>%1の大きさ「%2」は数ではありません。1 から %3 までのピクセル数を入れてください。</source>
        <translation>The %1 “%2” is not a number. Enter a number of pixels from 1 to %3.</translation>
    </message>
    <message>
        <source>%1の大きさ「%2」では背景を作れません。0 より大きいピクセル数を入れてください。</source>
        <translation>A background cannot have the %1 “%2”. Enter a number of pixels greater than 0.</translation>
    </message>
    <message>
        <source>%1の大きさ「%2」は大きすぎます。%3 ピクセルまでです。</source>
        <translation>The %1 “%2” is too large: at most %3 pixels.</translation>
    </message>
    <message>
        <source>よこ</source>
        <translation>width</translation>
    </message>
    <message>
        <source>たて</source>
        <translation>height</translation>
    </message>
</context>
<context>
    <name>tamrisk::PngCodec</name>
    <message>
        <source>PNGファイルではありません。</source>
        <translation>It is not a PNG file.</translation>
    </message>
    <message>
        <source>PNGを読む準備ができません（メモリ不足）。</source>
        <translation>Cannot prepare to read the PNG (out of memory).</translation>
    </message>
    <message>
        <source>画像が大きすぎます（%1 × %2 ピクセル）。</source>
        <translation>The picture is too large (%1 × %2 pixels).</translation>
    </message>
    <message>
        <source>画像のメモリを確保できません（%1 × %2 ピクセル）。</source>
        <translation>Cannot allocate the memory for the picture (%1 × %2 pixels).</translation>
    </message>
    <message>
        <source>PNGファイルが途中で終わっています。</source>
        <translation>The PNG file ends early.</translation>
    </message>
    <message>
        <source>PNGファイルが壊れています（%1）。</source>
        <translation>The PNG file is damaged (%1).</translation>
    </message>
    <message>
        <source>「%1」を開けません（%2）。</source>
        <translation>Cannot open “%1” (%2).</translation>
    </message>
    <message>
        <source>書き出す範囲 %1 × %2 が画像 %3 × %4 に収まりません。</source>
        <translation>The area to write, %1 × %2, does not fit in the picture of %3 × %4.</translation>
    </message>
    <message>
        <source>PNGを作れません（メモリ不足）。</source>
        <translation>Cannot make the PNG (out of memory).</translation>
    </message>
    <message>
        <source>「%1」に書き出せません（%2）。</source>
        <translation>Cannot write “%1” (%2).</translation>
    </message>
</context>
<context>
    <name>tamrisk::ProjectEditor</name>
    <message>
        <source>位置の調整</source>
        <translation>Placement</translation>
    </message>
    <message>
        <source>リセット</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>コマ間隔</source>
        <translation>Frame step</translation>
    </message>
    <message>
        <source>アニメパターン</source>
        <translation>Frame sequence</translation>
    </message>
    <message>
        <source>出力ファイル名</source>
        <translation>Output name</translation>
    </message>
    <message>
        <source>微調整</source>
        <translation>Nudge</translation>
    </message>
    <message>
        <source>%1の画像</source>
        <translation>%1 picture</translation>
    </message>
    <message>
        <source>背景の設定</source>
        <translation>Background settings</translation>
    </message>
    <message>
        <source>タイミング</source>
        <translation>Timing</translation>
    </message>
    <message>
        <source>コマの長さ</source>
        <translation>Frame length</translation>
    </message>
</context>
<context>
    <name>tamrisk::ProjectModel</name>
    <message>
        <source>パターン１</source>
        <translation>Pattern 1</translation>
    </message>
    <message>
        <source>パターン２</source>
        <translation>Pattern 2</translation>
    </message>
    <message>
        <source>パターン３</source>
        <translation>Pattern 3</translation>
    </message>
    <message>
        <source>パターン４</source>
        <translation>Pattern 4</translation>
    </message>
    <message>
        <source>パターン５</source>
        <translation>Pattern 5</translation>
    </message>
    <message>
        <source>パターン６</source>
        <translation>Pattern 6</translation>
    </message>
    <message>
        <source>パターン７</source>
        <translation>Pattern 7</translation>
    </message>
    <message>
        <source>パターン８</source>
        <translation>Pattern 8</translation>
    </message>
    <message>
        <source>パターン９</source>
        <translation>Pattern 9</translation>
    </message>
    <message>
        <source>背景</source>
        <translation>Background</translation>
    </message>
    <message>
        <source>前景</source>
        <translation>Foreground</translation>
    </message>
</context>
<context>
    <name>tamrisk::SettingsFile</name>
    <message>
        <source>%1のファイル名</source>
        <translation>The file name of %1</translation>
    </message>
    <message>
        <source>アニメパターン</source>
        <translation>The frame sequence</translation>
    </message>
    <message>
        <source>保存先ドライブ</source>
        <translation>The output drive</translation>
    </message>
    <message>
        <source>保存先フォルダ</source>
        <translation>The output folder</translation>
    </message>
    <message>
        <source>ベース名</source>
        <translation>The base name</translation>
    </message>
    <message>
        <source>画像フォルダ</source>
        <translation>The picture folder</translation>
    </message>
    <message>
        <source>%1に改行が含まれています。</source>
        <translation>%1 contains a line break.</translation>
    </message>
    <message>
        <source>%1に、引用符の後にコンマが続く並びがあります。</source>
        <translation>%1 contains a quotation mark followed by a comma.</translation>
    </message>
    <message>
        <source>%1にシステムの文字コードで表せない文字があります。</source>
        <translation>%1 contains characters that the system&apos;s encoding cannot represent.</translation>
    </message>
    <message>
        <source>ファイルを開けません（%1）。</source>
        <translation>Cannot open the file (%1).</translation>
    </message>
    <message>
        <source>ファイルが大きすぎます（%1 バイト。設定ファイルは %2 バイトまでです）。</source>
        <translation>The file is too large (%1 bytes; a settings file has at most %2 bytes).</translation>
    </message>
    <message>
        <source>ファイルを読めません（%1）。</source>
        <translation>Cannot read the file (%1).</translation>
    </message>
    <message>
        <source>%1の画像を読み込めません: %2</source>
        <translation>Cannot load the picture of %1: %2</translation>
    </message>
    <message>
        <source>画像を読めません（%1）。</source>
        <translation>Cannot read the picture (%1).</translation>
    </message>
    <message>
        <source>設定ファイル「%1」を保存できません。
%2</source>
        <translation>Cannot save the settings file “%1”.
%2</translation>
    </message>
    <message>
        <source>システムの文字コードで表せない文字があります。</source>
        <translation>There are characters that the system&apos;s encoding cannot represent.</translation>
    </message>
    <message>
        <source>設定ファイル「%1」を読み込めません。設定は変更していません。
%2</source>
        <translation>Cannot load the settings file “%1”. The settings are unchanged.
%2</translation>
    </message>
    <message>
        <source>アニメパターンは %1 コマありますが、%2 コマまでしか使えません。先頭の %2 コマを読み込みました。</source>
        <translation>The frame sequence has %1 frames, but at most %2 can be used; the first %2 were loaded.</translation>
    </message>
</context>
<context>
    <name>tamrisk::SettingsParse</name>
    <message>
        <source>(%1行目) %2</source>
        <translation>(line %1) %2</translation>
    </message>
    <message>
        <source>%1番目の項目が整数ではありません: &quot;%2&quot;</source>
        <translation>Field %1 is not a whole number: &quot;%2&quot;</translation>
    </message>
    <message>
        <source>%1番目の項目が範囲外です（%2 から %3 まで）: %4</source>
        <translation>Field %1 is out of range (%2 to %3): %4</translation>
    </message>
    <message>
        <source>%1の項目数が正しくありません（%2個必要なところ%3個）。</source>
        <translation>%1 has the wrong number of fields (%3 where %2 are needed).</translation>
    </message>
    <message>
        <source>引用符が閉じていません。</source>
        <translation>A quotation mark is not closed.</translation>
    </message>
    <message>
        <source>レイヤーのレコード</source>
        <translation>A layer record</translation>
    </message>
    <message>
        <source>メインレコード</source>
        <translation>The main record</translation>
    </message>
    <message>
        <source>コマ別補正値のレコード</source>
        <translation>A record of a frame&apos;s nudges</translation>
    </message>
    <message>
        <source>背景のレコード</source>
        <translation>The background record</translation>
    </message>
    <message>
        <source>1番目の項目が #TRUE# でも #FALSE# でもありません: &quot;%1&quot;</source>
        <translation>Field 1 is neither #TRUE# nor #FALSE#: &quot;%1&quot;</translation>
    </message>
    <message>
        <source>テキストファイルではありません（NUL 文字を含みます）。</source>
        <translation>It is not a text file (it contains NUL characters).</translation>
    </message>
    <message>
        <source>文字コードが UTF-8 でもシフトJIS でもありません。</source>
        <translation>The text is neither UTF-8 nor Shift JIS.</translation>
    </message>
    <message numerus="yes">
        <source>レコードが足りません（%n行しかありません。レイヤー11行とメインレコード1行が必要です）。</source>
        <translation>
            <numerusform>Records are missing (there is only %n line; 11 layer lines and 1 main record line are needed).</numerusform>
            <numerusform>Records are missing (there are only %n lines; 11 layer lines and 1 main record line are needed).</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>tamrisk::SpriteSheetEncoder</name>
    <message>
        <source>スプライトシートが縦横 %1 ピクセルに収まりません。</source>
        <translation>The sprite sheet does not fit in %1 pixels a side.</translation>
    </message>
</context>
<context>
    <name>tamrisk::WebpEncoder</name>
    <message>
        <source>%1 × %2 ピクセルの画像はWebPにできません（縦横 %3 ピクセルまで）。</source>
        <translation>A picture of %1 × %2 pixels cannot be a WebP (at most %3 pixels a side).</translation>
    </message>
    <message>
        <source>libwebp がコマを符号化できませんでした。</source>
        <translation>libwebp could not encode the frames.</translation>
    </message>
</context>
<context>
    <name>tamrisk::ui::DriveSelector</name>
    <message>
        <source>ドライブの準備がまだです</source>
        <translation>The drive is not ready</translation>
    </message>
</context>
<context>
    <name>tamrisk::ui::ExportControl</name>
    <message>
        <source>コマを作成しています…</source>
        <translation>Making the frames…</translation>
    </message>
    <message>
        <source>コマを作成しています… %1 / %2</source>
        <translation>Making the frames… %1 / %2</translation>
    </message>
    <message>
        <source>MNGファイルを作成しています…</source>
        <translation>Making the MNG file…</translation>
    </message>
    <message>
        <source>「%1」を作成しています…</source>
        <translation>Making “%1”…</translation>
    </message>
    <message>
        <source>書き出したファイル: %1（%2 バイト）</source>
        <translation>Written: %1 (%2 bytes)</translation>
    </message>
    <message>
        <source>残したファイル: %1</source>
        <translation>Kept unchanged: %1</translation>
    </message>
    <message>
        <source>アニメ</source>
        <translation>Formats</translation>
    </message>
    <message>
        <source>「コマ作成」で作るアニメーション: %1</source>
        <translation>The animations that “Make frames” makes: %1</translation>
    </message>
    <message>
        <source>、</source>
        <comment>between the names of formats</comment>
        <translation>, </translation>
    </message>
    <message>
        <source>%1があります。上書きしますか？</source>
        <translation>%1 exists. Replace it?</translation>
    </message>
    <message>
        <source>MNGコンパイラの報告:
%1</source>
        <translation>What the MNG compiler said:
%1</translation>
    </message>
</context>
<context>
    <name>tamrisk::ui::Form1</name>
    <message>
        <source>ミルオ工房簡易アニメータ</source>
        <translation>Miruo Kobo Simple Animator</translation>
    </message>
    <message>
        <source>縮小</source>
        <translation>Close zoom</translation>
    </message>
    <message>
        <source>ズーム</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>設定ファイル「%1」がありません。</source>
        <translation>There is no settings file “%1”.</translation>
    </message>
    <message>
        <source>微調整ＯＦＦ</source>
        <translation>Stop fine-tuning</translation>
    </message>
    <message>
        <source>微調整ＯＮ</source>
        <translation>Start fine-tuning</translation>
    </message>
    <message>
        <source>元に戻す</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>やり直し</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>編集した内容が保存されていません。保存しますか？</source>
        <translation>Your edits have not been saved. Save them now?</translation>
    </message>
    <message>
        <source>背景設定</source>
        <translation>Background</translation>
    </message>
    <message>
        <source>調整</source>
        <translation>Adjust</translation>
    </message>
    <message>
        <source>リセット</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>コマ間隔</source>
        <translation>Frame step</translation>
    </message>
    <message>
        <source>アニメパターン</source>
        <translation>Frame sequence</translation>
    </message>
    <message>
        <source>アニメテスト</source>
        <translation>Test animation</translation>
    </message>
    <message>
        <source>保存先パス</source>
        <translation>Output folder</translation>
    </message>
    <message>
        <source>出力形式</source>
        <translation>Output</translation>
    </message>
    <message>
        <source>ＢＭＰ</source>
        <translation>BMP</translation>
    </message>
    <message>
        <source>MＮＧ</source>
        <translation>MNG</translation>
    </message>
    <message>
        <source>コマ作成</source>
        <translation>Make frames</translation>
    </message>
    <message>
        <source>開く</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>名前を付けて保存</source>
        <translation>Save As</translation>
    </message>
    <message>
        <source>%1 / %2 コマ</source>
        <translation>%1 / %2 frames</translation>
    </message>
    <message>
        <source>タイミング</source>
        <translation>Timing</translation>
    </message>
    <message>
        <source>アニメーションの速さ、繰り返しの回数と拡大</source>
        <translation>How fast the animations play, how often, and how large</translation>
    </message>
    <message>
        <source>赤い印のコマを何コマ分の長さ見せるか（微調整中に変えられます。＋と−のキーでも）</source>
        <translation>How many frame periods the frame under the red mark stays (in fine-tune mode; also the + and - keys)</translation>
    </message>
    <message>
        <source>全体 %1 秒</source>
        <translation>Total %1 s</translation>
    </message>
    <message>
        <source>%1 コマ／秒、%2</source>
        <translation>%1 frames/s, %2</translation>
    </message>
    <message>
        <source>繰り返し続ける</source>
        <translation>loops forever</translation>
    </message>
    <message numerus="yes">
        <source>%n 回再生</source>
        <translation>
            <numerusform>plays %n time</numerusform>
            <numerusform>plays %n times</numerusform>
        </translation>
    </message>
    <message>
        <source> コマ／秒</source>
        <translation> frames/s</translation>
    </message>
    <message>
        <source>ずっと</source>
        <translation>Forever</translation>
    </message>
    <message>
        <source> 回</source>
        <translation> times</translation>
    </message>
    <message>
        <source>アニメーションでは1ピクセルをこの数の四角で見せます（コマのファイルはそのまま）</source>
        <translation>Animations show each pixel as a square of this many pixels a side (the frame files keep their size)</translation>
    </message>
    <message>
        <source>速さ</source>
        <translation>Frame rate</translation>
    </message>
    <message>
        <source>再生する回数</source>
        <translation>Plays</translation>
    </message>
    <message>
        <source>拡大</source>
        <translation>Scale</translation>
    </message>
</context>
<context>
    <name>tamrisk::ui::Form2</name>
    <message>
        <source>next</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>ファイルを開く</source>
        <translation>Open a picture</translation>
    </message>
</context>
<context>
    <name>tamrisk::ui::Form3</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>状態のSAVE&amp;LOAD</source>
        <translation>Save or load a project</translation>
    </message>
    <message>
        <source>SAVE するファイル</source>
        <translation>File to save</translation>
    </message>
    <message>
        <source>LOAD するファイル</source>
        <translation>File to load</translation>
    </message>
    <message>
        <source>%1があります。上書きしますか？</source>
        <translation>%1 exists. Replace it?</translation>
    </message>
    <message>
        <source>最近のプロジェクト</source>
        <translation>Recent projects</translation>
    </message>
    <message>
        <source>最近開いたか保存したプロジェクト</source>
        <translation>Projects opened or saved lately</translation>
    </message>
    <message>
        <source>「%1」はもうありません。最近のプロジェクトから外しました。</source>
        <translation>“%1” is gone; it has been removed from the recent projects.</translation>
    </message>
</context>
<context>
    <name>tamrisk::ui::Form4</name>
    <message>
        <source>Form4</source>
        <translation>Zoom</translation>
    </message>
</context>
<context>
    <name>tamrisk::ui::Form5</name>
    <message>
        <source>無地</source>
        <translation>Plain</translation>
    </message>
    <message>
        <source>よこ</source>
        <translation>Width</translation>
    </message>
    <message>
        <source>たて</source>
        <translation>Height</translation>
    </message>
    <message>
        <source>指定ファイル</source>
        <translation>From a file</translation>
    </message>
    <message>
        <source>Ｏｋ</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>背景の設定</source>
        <translation>Background settings</translation>
    </message>
    <message>
        <source>色の設定</source>
        <translation>Background colour</translation>
    </message>
</context>
</TS>
