<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja_JP">
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
        <source>PNG mode: the animations to make, comma-separated: mng (every frame whole, through the compiler; the default), compact-mng (&lt;basename&gt;.mng of the changed rectangles), apng (&lt;basename&gt;.png), gif (&lt;basename&gt;.gif).</source>
        <translation>PNG mode: the animations to make, comma-separated: mng (every frame whole, through the compiler; the default), compact-mng (&lt;basename&gt;.mng of the changed rectangles), apng (&lt;basename&gt;.png), gif (&lt;basename&gt;.gif).</translation>
    </message>
    <message>
        <source>The MNG compiler to run (default: vessik beside Tamrisk).</source>
        <translation>The MNG compiler to run (default: vessik beside Tamrisk).</translation>
    </message>
    <message>
        <source>Usage: Tamrisk --export FILE.pst [--png|--bmp] [--format LIST] [--output-dir DIR] [--force]
</source>
        <translation>Usage: Tamrisk --export FILE.pst [--png|--bmp] [--format LIST] [--output-dir DIR] [--force]
</translation>
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
</context>
<context>
    <name>tamrisk::ui::DriveSelector</name>
    <message>
        <source>ドライブの準備がまだです</source>
        <translation>The drive is not ready</translation>
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
        <translation>Unzoom</translation>
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
        <translation>Fine-tune OFF</translation>
    </message>
    <message>
        <source>微調整ＯＮ</source>
        <translation>Fine-tune ON</translation>
    </message>
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
        <source>アニメ</source>
        <translation>Formats</translation>
    </message>
    <message>
        <source>「コマ作成」で作るアニメーション</source>
        <translation>The animations that “Make frames” makes</translation>
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
        <source>書き出したファイル: %1（%2 バイト）</source>
        <translation>Written: %1 (%2 bytes)</translation>
    </message>
    <message>
        <source>残したファイル: %1</source>
        <translation>Kept: %1</translation>
    </message>
    <message>
        <source>「%1」を書き出しました。</source>
        <translation>Wrote “%1”.</translation>
    </message>
    <message>
        <source>エラー</source>
        <translation>Error</translation>
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
        <translation>The edits are not saved. Save them?</translation>
    </message>
    <message>
        <source>背景の設定</source>
        <translation>Background settings</translation>
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
        <translation>SAVE &amp; LOAD settings</translation>
    </message>
    <message>
        <source>SAVE するファイル</source>
        <translation>File to SAVE</translation>
    </message>
    <message>
        <source>LOAD するファイル</source>
        <translation>File to LOAD</translation>
    </message>
    <message>
        <source>%1があります。上書きしますか？</source>
        <translation>%1 exists. Replace it?</translation>
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
