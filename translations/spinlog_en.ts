<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>Text</name>
    <message>
        <source>バージョン情報</source>
        <translation>About Spinlog</translation>
    </message>
    <message>
        <source>フォルダを開くプログラムを起動できません。</source>
        <translation>Cannot start a program to open the folder.</translation>
    </message>
    <message>
        <source>データフォルダーを作れません: </source>
        <translation>Cannot make the data folder: </translation>
    </message>
    <message>
        <source>データベースをデータフォルダーへコピーできません: </source>
        <translation>Cannot copy the database into the data folder: </translation>
    </message>
    <message>
        <source>%1  記録 %2 件%3</source>
        <translation>%1  %2 records%3</translation>
    </message>
    <message>
        <source>（読めません）</source>
        <translation>(unreadable)</translation>
    </message>
    <message>
        <source>  復元前 %1</source>
        <translation>  before a restore %1</translation>
    </message>
    <message>
        <source>計測中です、計測を停止してからバックアップを選んでください</source>
        <translation>A solve is being timed. Stop the timer before choosing a backup.</translation>
    </message>
    <message>
        <source>バックアップがありません</source>
        <translation>There are no backups.</translation>
    </message>
    <message>
        <source>このバックアップは読めません。別のバックアップを選んでください。</source>
        <translation>This backup cannot be read. Choose another backup.</translation>
    </message>
    <message>
        <source>%1 のバックアップ（記録 %2 件）に戻します。<byte value="xd"/>
今のデータもバックアップとして残します。<byte value="xd"/>
復元は終了のときに行います。Spinlog を終了してよろしいですか</source>
        <translation>Go back to the backup of %1 (%2 records).<byte value="xd"/>
Today&apos;s data is kept as a backup too.<byte value="xd"/>
The restore is done when Spinlog exits. Exit Spinlog now?</translation>
    </message>
    <message>
        <source>使い方: spinlog                          ストップウォッチを起動します
</source>
        <translation>Usage: spinlog                          starts the timer
</translation>
    </message>
    <message>
        <source>        spinlog --help                   この説明を表示します
</source>
        <translation>        spinlog --help                   shows this help
</translation>
    </message>
    <message>
        <source>spinlog: 「%1」は使えないオプションです。
</source>
        <translation>spinlog: unknown option &quot;%1&quot;.
</translation>
    </message>
    <message>
        <source>spinlog: 出力を書き込めません: %1
</source>
        <translation>spinlog: cannot write the output: %1
</translation>
    </message>
    <message>
        <source>タイプ「%1」は %2 のどれとも読めます。番号で指定してください。</source>
        <translation>Type &quot;%1&quot; could be any of %2. Give its number instead.</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>メモリ不足です</source>
        <translation>Out of memory</translation>
    </message>
    <message>
        <source>ファイルが見つかりません</source>
        <translation>File not found</translation>
    </message>
    <message>
        <source>パスが見つかりません</source>
        <translation>Path not found</translation>
    </message>
    <message>
        <source>ファイルが無効です</source>
        <translation>Invalid file</translation>
    </message>
    <message>
        <source>関連付けられているファイルがありません</source>
        <translation>No program is associated with the file</translation>
    </message>
    <message>
        <source>エラーNo.=</source>
        <translation>Error No.=</translation>
    </message>
    <message>
        <source>Webページを開くプログラムを起動できません。</source>
        <translation>Cannot start a program to open the web page.</translation>
    </message>
    <message>
        <source>データベースが使用中です（Spinlog が起動中です）。</source>
        <translation>The database is in use (Spinlog is running).</translation>
    </message>
    <message>
        <source>データベースを開けません: </source>
        <translation>Cannot open the database: </translation>
    </message>
    <message>
        <source>タイプ「%1」はありません（%2）。</source>
        <translation>There is no type &quot;%1&quot; (%2).</translation>
    </message>
    <message>
        <source>%1 に %2 セッション、%3 件の記録（%4 回）を出力しました。
</source>
        <translation>Wrote %2 sessions, %3 records (%4 solves) to %1.
</translation>
    </message>
    <message>
        <source>日時かタイムの読めない %1 件の記録は出力していません。
</source>
        <translation>%1 records with an unreadable date or time were not written.
</translation>
    </message>
    <message>
        <source>タイプ「%1」はありません。</source>
        <translation>There is no type &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>タイプ「%1」は回数が 1～12 でないので取り込めません。</source>
        <translation>Cannot import into type &quot;%1&quot;: its number of solves is not 1 to 12.</translation>
    </message>
    <message>
        <source>セッション「%1」は %2 のどのタイプとも読めます。--type で取り込むタイプを指定してください。</source>
        <translation>Session &quot;%1&quot; matches each of the types %2. Choose the type with --type.</translation>
    </message>
    <message>
        <source>セッション「%1」と同じ名前のタイプがありません。--type で取り込むタイプを指定するか、--new-types で新しいタイプとして取り込んでください。</source>
        <translation>No type is named like session &quot;%1&quot;. Choose a type with --type, or import it as a new type with --new-types.</translation>
    </message>
    <message>
        <source>spinlog: 出力を書き込めないので、取り込みを取り消しました。
</source>
        <translation>spinlog: the output cannot be written, so the import was undone.
</translation>
    </message>
    <message>
        <source>--import ファイル [--type タイプ | --new-types] の形で指定してください。</source>
        <translation>Use: --import FILE [--type TYPE | --new-types]</translation>
    </message>
    <message>
        <source>Spinlog が起動中です。終了してから実行してください。</source>
        <translation>Spinlog is running. Exit it, then try again.</translation>
    </message>
    <message>
        <source>MDB最適化失敗。</source>
        <translation>Compacting the database failed.</translation>
    </message>
    <message>
        <source>データベースファイルが移動または置き換えられたため、開いていた内容を次のファイルに保存しました</source>
        <translation>The database file was moved or replaced, so what was open was saved to this file</translation>
    </message>
    <message>
        <source>バックアップから復元しました。復元前のデータは次のファイルに残しました<byte value="xd"/>
</source>
        <translation>Restored from the backup. The data from before the restore is kept in this file<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>。データは元のままです。</source>
        <translation>. The data is unchanged.</translation>
    </message>
    <message>
        <source>        spinlog --stats [タイプ]         全解答の統計 (解答数、平均、ao5 など) を出力します (タイプは名前か番号、既定は全タイプ)
</source>
        <translation>        spinlog --stats [TYPE]           writes the statistics of all solves (count, mean, ao5 ...) (TYPE by name or number; default every type)
</translation>
    </message>
    <message>
        <source>--stats [タイプ] の形で指定してください。</source>
        <translation>Use: --stats [TYPE]</translation>
    </message>
    <message>
        <source>データベース %1 は実行中の Spinlog が使用しています。終了してからもう一度実行してください。</source>
        <translation>The database %1 is in use by a running Spinlog. Exit it, then try again.</translation>
    </message>
    <message>
        <source>データベース %1 を開けません: %2</source>
        <translation>Cannot open the database %1: %2</translation>
    </message>
    <message>
        <source>タイプ「%1」はありません。タイプ: %2。</source>
        <translation>There is no type &quot;%1&quot;. Types: %2.</translation>
    </message>
    <message>
        <source>データベース %1 を読めません: %2</source>
        <translation>Cannot read the database %1: %2</translation>
    </message>
    <message>
        <source>入力デバイスなし</source>
        <translation>no input device</translation>
    </message>
    <message>
        <source>入力デバイスが外れました</source>
        <translation>input device unplugged</translation>
    </message>
    <message>
        <source>入力デバイスを開けません</source>
        <translation>cannot open the input device</translation>
    </message>
    <message>
        <source>計測中にスタックマットの信号が途切れたため、タイムを記録しませんでした</source>
        <translation>The Stackmat signal was lost during the solve, so no time was recorded</translation>
    </message>
    <message>
        <source>接続中</source>
        <translation>connected</translation>
    </message>
    <message>
        <source>信号が途切れ、記録なし</source>
        <translation>signal lost, no time recorded</translation>
    </message>
    <message>
        <source>信号なし</source>
        <translation>no signal</translation>
    </message>
    <message>
        <source>スタックマット: </source>
        <translation>Stackmat: </translation>
    </message>
    <message>
        <source>２重起動はできません</source>
        <translation>Spinlog is already running</translation>
    </message>
    <message>
        <source>バックアップから復元</source>
        <translation>Restore from backup</translation>
    </message>
    <message>
        <source>戻すバックアップを選んでください:</source>
        <translation>Choose the backup to go back to:</translation>
    </message>
    <message>
        <source>Log出力エラー<byte value="xd"/>
</source>
        <translation>Log write error<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>フォームロードエラー</source>
        <translation>Window load error</translation>
    </message>
    <message>
        <source>保存エラー</source>
        <translation>Save error</translation>
    </message>
    <message>
        <source>カウントダウンタイマエラー</source>
        <translation>Countdown timer error</translation>
    </message>
    <message>
        <source>計測タイマエラー</source>
        <translation>Timer error</translation>
    </message>
    <message>
        <source>計測開始/停止エラー</source>
        <translation>Start/stop error</translation>
    </message>
    <message>
        <source>タイプセットエラー</source>
        <translation>Type selection error</translation>
    </message>
    <message>
        <source>メイン画面更新エラー</source>
        <translation>Main window update error</translation>
    </message>
    <message>
        <source>サウンド再生エラー</source>
        <translation>Sound error</translation>
    </message>
    <message>
        <source>データ表示エラー</source>
        <translation>Display error</translation>
    </message>
    <message>
        <source>削除エラー</source>
        <translation>Delete error</translation>
    </message>
    <message>
        <source>CSV出力エラー</source>
        <translation>CSV export error</translation>
    </message>
    <message>
        <source>キーダウンエラー</source>
        <translation>Key error</translation>
    </message>
    <message>
        <source>データベースオープンエラー</source>
        <translation>Database open error</translation>
    </message>
    <message>
        <source>MDB最適化エラー[Backup]</source>
        <translation>Database compaction error [Backup]</translation>
    </message>
    <message>
        <source>MDB最適化エラー[Compact]</source>
        <translation>Database compaction error [Compact]</translation>
    </message>
    <message>
        <source>MDB最適化エラー[Recover]</source>
        <translation>Database compaction error [Recover]</translation>
    </message>
    <message>
        <source>Readme表示エラー</source>
        <translation>Readme error</translation>
    </message>
    <message>
        <source>Webページ表示エラー</source>
        <translation>Web page error</translation>
    </message>
    <message>
        <source>グラフ表示エラー</source>
        <translation>Chart error</translation>
    </message>
    <message>
        <source>グラフ保存エラー</source>
        <translation>Chart save error</translation>
    </message>
    <message>
        <source>ペナルティ設定エラー</source>
        <translation>Penalty error</translation>
    </message>
    <message>
        <source>統計表示エラー</source>
        <translation>Statistics error</translation>
    </message>
    <message>
        <source>csTimer形式出力エラー</source>
        <translation>csTimer export error</translation>
    </message>
    <message>
        <source>取り込みエラー</source>
        <translation>Import error</translation>
    </message>
    <message>
        <source>取り込み取り消しエラー</source>
        <translation>Undo import error</translation>
    </message>
    <message>
        <source>バックアップ復元エラー</source>
        <translation>Restore error</translation>
    </message>
    <message>
        <source>タイプ追加エラー</source>
        <translation>Add type error</translation>
    </message>
    <message>
        <source>タイプ削除エラー</source>
        <translation>Remove type error</translation>
    </message>
    <message>
        <source>型が一致しません。</source>
        <translation>Type mismatch.</translation>
    </message>
    <message>
        <source>オーバーフローしました。</source>
        <translation>Overflow.</translation>
    </message>
    <message>
        <source>プロシージャの呼び出し、または引数が不正です。</source>
        <translation>Invalid procedure call or argument.</translation>
    </message>
    <message>
        <source>Null の使い方が不正です。</source>
        <translation>Invalid use of Null.</translation>
    </message>
    <message>
        <source>プロパティの値が不正です。</source>
        <translation>Invalid property value.</translation>
    </message>
    <message>
        <source>表示するデータがありません</source>
        <translation>Nothing to show</translation>
    </message>
    <message>
        <source>日時を読めない%1件</source>
        <translation>%1 with an unreadable date</translation>
    </message>
    <message>
        <source>DNFの平均%1件</source>
        <translation>%1 DNF averages</translation>
    </message>
    <message>
        <source>%1件</source>
        <translation>%1 series</translation>
    </message>
    <message>
        <source>（%1は表示していません）</source>
        <translation> (not shown: %1)</translation>
    </message>
    <message>
        <source>グラフ</source>
        <translation>Chart</translation>
    </message>
    <message>
        <source>ホイール: 拡大・縮小&#x3000;ドラッグ: 移動&#x3000;ダブルクリック: 全体表示</source>
        <translation>Wheel: zoom   Drag: move   Double-click: show all</translation>
    </message>
    <message>
        <source>平均タイムの推移 ― </source>
        <translation>Averages over time — </translation>
    </message>
    <message>
        <source>平均タイム</source>
        <translation>Average</translation>
    </message>
    <message>
        <source>直近%1回の平均</source>
        <translation>Mean of the last %1</translation>
    </message>
    <message>
        <source>ベストタイム(平均)</source>
        <translation>Best average</translation>
    </message>
    <message>
        <source>ベストタイム</source>
        <translation>Best single</translation>
    </message>
    <message>
        <source>日付</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>タイム</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>ファイル(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>画像として保存(&amp;S)...</source>
        <translation>&amp;Save as image...</translation>
    </message>
    <message>
        <source>閉じる(&amp;X)</source>
        <translation>Close (&amp;X)</translation>
    </message>
    <message>
        <source>表示(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>全体を表示(&amp;A)</source>
        <translation>Show &amp;all</translation>
    </message>
    <message>
        <source>
平均: </source>
        <translation>
Average: </translation>
    </message>
    <message>
        <source>画像の保存先の選択</source>
        <translation>Save the chart as</translation>
    </message>
    <message>
        <source>グラフ.png</source>
        <translation>chart.png</translation>
    </message>
    <message>
        <source>PNG画像(*.png)</source>
        <translation>PNG image (*.png)</translation>
    </message>
    <message>
        <source>JPEG画像(*.jpg *.jpeg)</source>
        <translation>JPEG image (*.jpg *.jpeg)</translation>
    </message>
    <message>
        <source>すべてのファイル(*.*)</source>
        <translation>All files (*.*)</translation>
    </message>
    <message>
        <source>画像を%1形式にできません。</source>
        <translation>Cannot save the image as %1.</translation>
    </message>
    <message>
        <source>カレント レコードがありません。</source>
        <translation>No current record.</translation>
    </message>
    <message>
        <source>このコレクションには項目がありません。(</source>
        <translation>Item not found in this collection. (</translation>
    </message>
    <message>
        <source>中断された変更の巻き戻しが残っています。Spinlog を起動するか --import を実行すると巻き戻されます。</source>
        <translation>An interrupted change is still to be rolled back. Starting Spinlog or running --import rolls it back.</translation>
    </message>
    <message>
        <source>このデータベースには取り込みの印を付けられません。</source>
        <translation>This database cannot mark imported records.</translation>
    </message>
    <message>
        <source>%1 は Spinlog が使うファイルなので、出力先にできません。</source>
        <translation>%1 is a file Spinlog uses; it cannot be written to.</translation>
    </message>
    <message>
        <source>全て</source>
        <translation>All</translation>
    </message>
    <message>
        <source>タイプ「%1」には保存した記録が %2 件あるので削除できません</source>
        <translation>Type &quot;%1&quot; holds %2 saved series, so it cannot be removed</translation>
    </message>
    <message>
        <source>最初の5つのタイプは削除できません</source>
        <translation>The first 5 types cannot be removed</translation>
    </message>
    <message>
        <source>%1 を作れません</source>
        <translation>Cannot make %1</translation>
    </message>
    <message>
        <source>空き容量 %1 バイトがデータベース %2 バイトの2倍に足りません</source>
        <translation>The free space of %1 bytes is less than twice the database&apos;s %2 bytes</translation>
    </message>
    <message>
        <source>%1 は Spinlog のデータベースとして開けません</source>
        <translation>%1 cannot be opened as a Spinlog database</translation>
    </message>
    <message>
        <source>日時</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>タイプ</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>平均</source>
        <translation>Average</translation>
    </message>
    <message>
        <source>データ表示中...</source>
        <translation>Loading...</translation>
    </message>
    <message>
        <source>削除するデータがありません</source>
        <translation>There is nothing to delete</translation>
    </message>
    <message>
        <source>削除するデータを選択してください</source>
        <translation>Select the series to delete</translation>
    </message>
    <message>
        <source>日時: </source>
        <translation>Delete the series of </translation>
    </message>
    <message>
        <source> のデータを削除します、よろしいですか</source>
        <translation>?</translation>
    </message>
    <message>
        <source>表示中の全てのデータ(</source>
        <translation>Delete all the series shown (</translation>
    </message>
    <message>
        <source>件)を削除します、よろしいですか</source>
        <translation>)?</translation>
    </message>
    <message>
        <source>削除中...</source>
        <translation>Deleting...</translation>
    </message>
    <message>
        <source>出力データがありません</source>
        <translation>There is nothing to export</translation>
    </message>
    <message>
        <source>CSVファイル保存先の選択</source>
        <translation>Export CSV as</translation>
    </message>
    <message>
        <source>CSVファイル(*.csv)</source>
        <translation>CSV file (*.csv)</translation>
    </message>
    <message>
        <source>CSV出力中...</source>
        <translation>Exporting CSV...</translation>
    </message>
    <message>
        <source>Shift_JIS(CP932)で表せない文字を含む項目が%1件あり、その文字を「?」にして出力しました</source>
        <translation>%1 fields held characters Shift_JIS (CP932) cannot hold; they were written as &quot;?&quot;</translation>
    </message>
    <message>
        <source>csTimer形式ファイル保存先の選択</source>
        <translation>Export for csTimer as</translation>
    </message>
    <message>
        <source>csTimerのデータ(*.txt)</source>
        <translation>csTimer data (*.txt)</translation>
    </message>
    <message>
        <source>csTimer形式で出力中...</source>
        <translation>Exporting for csTimer...</translation>
    </message>
    <message>
        <source>%1 セッション、%2 件の記録（%3 回）を出力しました</source>
        <translation>Exported %1 sessions, %2 records (%3 solves)</translation>
    </message>
    <message>
        <source><byte value="xd"/>
日時かタイムの読めない %1 件の記録は出力していません</source>
        <translation><byte value="xd"/>
%1 records with an unreadable date or time were not exported</translation>
    </message>
    <message>
        <source>読み込み中...</source>
        <translation>Reading...</translation>
    </message>
    <message>
        <source>取り込む記録がありません</source>
        <translation>There are no solves to import</translation>
    </message>
    <message>
        <source>取り込みを中止しました。何も追加していません</source>
        <translation>Import cancelled. Nothing was added</translation>
    </message>
    <message>
        <source>元に戻す取り込みがありません</source>
        <translation>There is no import to undo</translation>
    </message>
    <message>
        <source>、作ったタイプ %1 個</source>
        <translation>, %1 types made</translation>
    </message>
    <message>
        <source>%1 の取り込み（記録 %2 件%3）を元に戻します、よろしいですか</source>
        <translation>Undo the import of %1 (%2 records%3)?</translation>
    </message>
    <message>
        <source>計測結果</source>
        <translation>History</translation>
    </message>
    <message>
        <source>タイプ:</source>
        <translation>Type:</translation>
    </message>
    <message>
        <source>並順:</source>
        <translation>Order:</translation>
    </message>
    <message>
        <source>件数:</source>
        <translation>Series:</translation>
    </message>
    <message>
        <source>ベストタイム:</source>
        <translation>Best:</translation>
    </message>
    <message>
        <source>ベストタイム(平均):</source>
        <translation>Best average:</translation>
    </message>
    <message>
        <source>CSV出力(&amp;O)...</source>
        <translation>Export CSV (&amp;O)...</translation>
    </message>
    <message>
        <source>csTimer形式で出力(&amp;J)...</source>
        <translation>Export for csTimer (&amp;J)...</translation>
    </message>
    <message>
        <source>取り込み(&amp;I)...</source>
        <translation>&amp;Import...</translation>
    </message>
    <message>
        <source>取り込みを元に戻す(&amp;U)</source>
        <translation>&amp;Undo import</translation>
    </message>
    <message>
        <source>グラフ(&amp;G)...</source>
        <translation>Pro&amp;gress chart...</translation>
    </message>
    <message>
        <source>統計(&amp;S)...</source>
        <translation>&amp;Statistics...</translation>
    </message>
    <message>
        <source>終了(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>編集(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>削除(&amp;D)</source>
        <translation>&amp;Delete</translation>
    </message>
    <message>
        <source>全件削除(&amp;A)</source>
        <translation>Delete &amp;all</translation>
    </message>
    <message>
        <source>ペナルティ(&amp;P)</source>
        <translation>&amp;Penalty</translation>
    </message>
    <message>
        <source>ペナルティなし</source>
        <translation>No penalty</translation>
    </message>
    <message>
        <source>日時 [昇順]</source>
        <translation>Date [ascending]</translation>
    </message>
    <message>
        <source>日時 [降順]</source>
        <translation>Date [descending]</translation>
    </message>
    <message>
        <source>平均 [昇順]</source>
        <translation>Average [ascending]</translation>
    </message>
    <message>
        <source>平均 [降順]</source>
        <translation>Average [descending]</translation>
    </message>
    <message>
        <source>（取り込まない）</source>
        <translation>(not imported)</translation>
    </message>
    <message>
        <source>%1（%2回）</source>
        <translation>%1 (%2 solves)</translation>
    </message>
    <message>
        <source>セッション</source>
        <translation>Session</translation>
    </message>
    <message>
        <source>回数</source>
        <translation>Solves</translation>
    </message>
    <message>
        <source>取り込むタイプ</source>
        <translation>Import into type</translation>
    </message>
    <message>
        <source>新しいタイプの回数</source>
        <translation>New type&apos;s solves</translation>
    </message>
    <message>
        <source>記録</source>
        <translation>Records</translation>
    </message>
    <message>
        <source>重複</source>
        <translation>Duplicates</translation>
    </message>
    <message>
        <source>取り込みの確認</source>
        <translation>Confirm the import</translation>
    </message>
    <message>
        <source>セッション名セッション</source>
        <translation>Session name session</translation>
    </message>
    <message>
        <source>取り込む</source>
        <translation>Import</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>取り込むファイルの選択</source>
        <translation>Choose the file to import</translation>
    </message>
    <message>
        <source>記録ファイル(*.txt *.json *.csv);;すべてのファイル(*)</source>
        <translation>Timer files (*.txt *.json *.csv);;All files (*)</translation>
    </message>
    <message>
        <source>取り込み中...</source>
        <translation>Importing...</translation>
    </message>
    <message>
        <source>取り込み</source>
        <translation>Import</translation>
    </message>
    <message>
        <source>csTimer のデータ（{ で始まるオブジェクト）ではありません</source>
        <translation>Not csTimer data (an object starting with {)</translation>
    </message>
    <message>
        <source>%1 が2回あります</source>
        <translation>%1 appears twice</translation>
    </message>
    <message>
        <source>記録の配列があるべきところです</source>
        <translation>An array of solves was expected here</translation>
    </message>
    <message>
        <source>不明なペナルティ %1 です（0、2000、-1 のどれか）</source>
        <translation>Unknown penalty %1 (it is 0, 2000 or -1)</translation>
    </message>
    <message>
        <source>ありえない時間 %1 ms です</source>
        <translation>Impossible time of %1 ms</translation>
    </message>
    <message>
        <source>ありえない日時 %1 です</source>
        <translation>Impossible date %1</translation>
    </message>
    <message>
        <source>%1行目: %2</source>
        <translation>Line %1: %2</translation>
    </message>
    <message>
        <source>引用符が閉じられないまま終わっています</source>
        <translation>A quote is never closed</translation>
    </message>
    <message>
        <source>項目が長すぎます</source>
        <translation>A field is too long</translation>
    </message>
    <message>
        <source>項目が多すぎます</source>
        <translation>Too many fields</translation>
    </message>
    <message>
        <source>記録が途中で終わっています（7項目を「&quot;;&quot;」で区切り、&quot;で囲んだ行のはずです）</source>
        <translation>A record ends early (it should be 7 fields in quotes, separated by &quot;;&quot;)</translation>
    </message>
    <message>
        <source>記録が長すぎます</source>
        <translation>A record is too long</translation>
    </message>
    <message>
        <source>記録が「&quot;」で始まっていません</source>
        <translation>A record does not start with &quot;</translation>
    </message>
    <message>
        <source>項目が %1 個です（7 個のはず）</source>
        <translation>%1 fields (there should be 7)</translation>
    </message>
    <message>
        <source>時間「%1」が数ではありません</source>
        <translation>The time &quot;%1&quot; is not a number</translation>
    </message>
    <message>
        <source>不明なペナルティ「%1」です（0、1、2 のどれか）</source>
        <translation>Unknown penalty &quot;%1&quot; (it is 0, 1 or 2)</translation>
    </message>
    <message>
        <source>Twisty Timer のバックアップの見出しではありません</source>
        <translation>Not the header of a Twisty Timer backup</translation>
    </message>
    <message>
        <source>日時「%1」が数ではありません</source>
        <translation>The date &quot;%1&quot; is not a number</translation>
    </message>
    <message>
        <source>Spinlog の CSV の見出し（日時,タイプ,1,…,12,平均）ではありません</source>
        <translation>Not the header of Spinlog&apos;s CSV (日時,タイプ,1,…,12,平均)</translation>
    </message>
    <message>
        <source>項目が %1 個です（15 個のはず）</source>
        <translation>%1 fields (there should be 15)</translation>
    </message>
    <message>
        <source>日時「%1」が読めません</source>
        <translation>The date &quot;%1&quot; cannot be read</translation>
    </message>
    <message>
        <source>%1回目の前に抜けた記録があります</source>
        <translation>A solve is missing before solve %1</translation>
    </message>
    <message>
        <source>%1回目の「%2」が時間として読めません</source>
        <translation>Solve %1, &quot;%2&quot;, cannot be read as a time</translation>
    </message>
    <message>
        <source>記録がひとつもありません</source>
        <translation>There are no solves</translation>
    </message>
    <message>
        <source>csTimer、Twisty Timer、Spinlog のどの形式のファイルでもありません。</source>
        <translation>The file is not in csTimer&apos;s, Twisty Timer&apos;s or Spinlog&apos;s format.</translation>
    </message>
    <message>
        <source>%1: ファイルが大きすぎます（%2 MB まで）。</source>
        <translation>%1: the file is too large (up to %2 MB).</translation>
    </message>
    <message>
        <source>%1: 読み込めません（%2）。</source>
        <translation>%1: cannot read it (%2).</translation>
    </message>
    <message>
        <source>標準入力</source>
        <translation>standard input</translation>
    </message>
    <message>
        <source>%1: ファイルがありません。</source>
        <translation>%1: no such file.</translation>
    </message>
    <message>
        <source>%1: ファイルが空です。</source>
        <translation>%1: the file is empty.</translation>
    </message>
    <message>
        <source>新しいタイプ「%1」（%2回）</source>
        <translation>new type &quot;%1&quot; (%2 solves)</translation>
    </message>
    <message>
        <source>%1 の記録: %2 セッション
</source>
        <translation>Solves of %1: %2 sessions
</translation>
    </message>
    <message>
        <source>回のないセッション %1 個は取り込みません
</source>
        <translation>%1 sessions without solves are not imported
</translation>
    </message>
    <message>
        <source>新しいタイプとして取り込む</source>
        <translation>Import as a new type</translation>
    </message>
    <message>
        <source>タイプは %1 個までです。%2 個のタイプに %3 個を加えられません。</source>
        <translation>There can be %1 types at most; %3 cannot be added to %2.</translation>
    </message>
    <message>
        <source>%1行 %2文字目</source>
        <translation>line %1, column %2</translation>
    </message>
    <message>
        <source>の </source>
        <translation>, </translation>
    </message>
    <message>
        <source>ファイルが途中で終わっています</source>
        <translation>The file ends early</translation>
    </message>
    <message>
        <source>「%1」があるべきところです</source>
        <translation>&quot;%1&quot; was expected here</translation>
    </message>
    <message>
        <source>データの後に余分な文字があります</source>
        <translation>There are extra characters after the data</translation>
    </message>
    <message>
        <source>\u の後が16進数ではありません</source>
        <translation>\u is not followed by hex digits</translation>
    </message>
    <message>
        <source>文字列が閉じられないまま終わっています</source>
        <translation>A string is never closed</translation>
    </message>
    <message>
        <source>文字列に制御文字があります</source>
        <translation>A string holds a control character</translation>
    </message>
    <message>
        <source>文字列に不正なエスケープがあります</source>
        <translation>A string holds an invalid escape</translation>
    </message>
    <message>
        <source>数があるべきところです</source>
        <translation>A number was expected here</translation>
    </message>
    <message>
        <source>小数点の後に数字がありません</source>
        <translation>No digits after the decimal point</translation>
    </message>
    <message>
        <source>指数に数字がありません</source>
        <translation>No digits in the exponent</translation>
    </message>
    <message>
        <source>数が大きすぎます</source>
        <translation>A number is too large</translation>
    </message>
    <message>
        <source>入れ子が深すぎます（%1 段まで）</source>
        <translation>Nested too deeply (up to %1 levels)</translation>
    </message>
    <message>
        <source>値があるべきところです</source>
        <translation>A value was expected here</translation>
    </message>
    <message>
        <source>キーがあるべきところです</source>
        <translation>A key was expected here</translation>
    </message>
    <message>
        <source>計測停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>計測開始</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>計測中...</source>
        <translation>Timing...</translation>
    </message>
    <message>
        <source>計測中です、計測を停止してから終了してください</source>
        <translation>A solve is being timed. Stop the timer before exiting.</translation>
    </message>
    <message>
        <source>MDB最適化中...</source>
        <translation>Compacting the database...</translation>
    </message>
    <message>
        <source>平均タイム: </source>
        <translation>Average: </translation>
    </message>
    <message>
        <source><byte value="xd"/>
結果を保存しますか</source>
        <translation><byte value="xd"/>
Save this series?</translation>
    </message>
    <message>
        <source>保存中...</source>
        <translation>Saving...</translation>
    </message>
    <message>
        <source>リセットします、よろしいですか</source>
        <translation>Reset the series?</translation>
    </message>
    <message>
        <source>計測タイム:</source>
        <translation>Time:</translation>
    </message>
    <message>
        <source>今回平均タイム:</source>
        <translation>Average:</translation>
    </message>
    <message>
        <source>計測開始/停止(&amp;T)</source>
        <translation>S&amp;tart/stop</translation>
    </message>
    <message>
        <source>リセット(&amp;R)</source>
        <translation>&amp;Reset</translation>
    </message>
    <message>
        <source>保存(&amp;S)</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>バックアップから復元(&amp;B)...</source>
        <translation>Restore from &amp;backup...</translation>
    </message>
    <message>
        <source>ツール(&amp;T)</source>
        <translation>&amp;Tools</translation>
    </message>
    <message>
        <source>計測結果(&amp;R)...</source>
        <translation>&amp;History...</translation>
    </message>
    <message>
        <source>統計(&amp;G)...</source>
        <translation>Statistics (&amp;G)...</translation>
    </message>
    <message>
        <source>オプション(&amp;O)...</source>
        <translation>&amp;Options...</translation>
    </message>
    <message>
        <source>スクランブル(&amp;S)</source>
        <translation>&amp;Scramble</translation>
    </message>
    <message>
        <source>ペナルティなし(&amp;N)</source>
        <translation>&amp;No penalty</translation>
    </message>
    <message>
        <source>ヘルプ(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>Webページ(&amp;W)...</source>
        <translation>&amp;Web page...</translation>
    </message>
    <message>
        <source>バージョン情報(&amp;A)...</source>
        <translation>&amp;About Spinlog...</translation>
    </message>
    <message>
        <source>タイプは %1 個までです</source>
        <translation>There can be %1 types at most</translation>
    </message>
    <message>
        <source>新しいタイプ</source>
        <translation>New type</translation>
    </message>
    <message>
        <source>削除するタイプを選択してください</source>
        <translation>Select the type to remove</translation>
    </message>
    <message>
        <source>最初の%1つのタイプは削除できません</source>
        <translation>The first %1 types cannot be removed</translation>
    </message>
    <message>
        <source>タイプ「%1」は計測中のセットがあるので削除できません</source>
        <translation>Type &quot;%1&quot; has a series under way, so it cannot be removed</translation>
    </message>
    <message>
        <source>含む</source>
        <translation>Count</translation>
    </message>
    <message>
        <source>除く</source>
        <translation>Drop</translation>
    </message>
    <message>
        <source>あり</source>
        <translation>On</translation>
    </message>
    <message>
        <source>なし</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>ﾍﾞｽﾄ･ﾜｰｽﾄを除く場合は、回数を3以上に設定してください</source>
        <translation>To drop the best and worst, set 3 solves or more</translation>
    </message>
    <message>
        <source>オプション</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>時間設定</source>
        <translation>Times</translation>
    </message>
    <message>
        <source>カウントダウン時間(秒)(&amp;C):</source>
        <translation>&amp;Countdown (s):</translation>
    </message>
    <message>
        <source>アラーム間隔(秒)(&amp;A):</source>
        <translation>&amp;Alarm every (s):</translation>
    </message>
    <message>
        <source>色設定</source>
        <translation>Colors</translation>
    </message>
    <message>
        <source>通常タイム背景色(&amp;N):</source>
        <translation>&amp;Normal time color:</translation>
    </message>
    <message>
        <source>ベストタイム背景色(&amp;B):</source>
        <translation>&amp;Best time color:</translation>
    </message>
    <message>
        <source>ワーストタイム背景色(&amp;W):</source>
        <translation>&amp;Worst time color:</translation>
    </message>
    <message>
        <source>タイプ設定</source>
        <translation>Puzzle types</translation>
    </message>
    <message>
        <source>追加(&amp;T)</source>
        <translation>Add &amp;type</translation>
    </message>
    <message>
        <source>削除(&amp;R)</source>
        <translation>&amp;Remove</translation>
    </message>
    <message>
        <source>インスペクション</source>
        <translation>Inspection</translation>
    </message>
    <message>
        <source>カウントダウン(時間設定の秒数)(&amp;D)</source>
        <translation>Count&amp;down (the seconds set above)</translation>
    </message>
    <message>
        <source>WCA インスペクション(15秒)(&amp;I)</source>
        <translation>WCA &amp;inspection (15 s)</translation>
    </message>
    <message>
        <source>スペースキーを押し続けて離すと開始(&amp;H)</source>
        <translation>&amp;Hold Space, release to start</translation>
    </message>
    <message>
        <source>計時</source>
        <translation>Timer</translation>
    </message>
    <message>
        <source>キーボード(&amp;K)</source>
        <translation>&amp;Keyboard</translation>
    </message>
    <message>
        <source>スタックマット(&amp;S)</source>
        <translation>&amp;Stackmat</translation>
    </message>
    <message>
        <source>入力デバイス(&amp;V):</source>
        <translation>Input de&amp;vice:</translation>
    </message>
    <message>
        <source>既定の入力デバイス</source>
        <translation>Default input device</translation>
    </message>
    <message>
        <source>（未接続）</source>
        <translation> (not connected)</translation>
    </message>
    <message>
        <source>カウントダウン時間に0以上の数値を入力してください</source>
        <translation>Enter a countdown of 0 or more</translation>
    </message>
    <message>
        <source>アラーム間隔に0以上の数値を入力してください<byte value="xd"/>
  (アラーム未使用時は0を入力してください)</source>
        <translation>Enter an alarm interval of 0 or more<byte value="xd"/>
  (0 for no alarm)</translation>
    </message>
    <message>
        <source>名前</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>ﾍﾞｽﾄ･ﾜｰｽﾄ</source>
        <translation>Best/worst</translation>
    </message>
    <message>
        <source>ｲﾝｽﾍﾟｸｼｮﾝ</source>
        <translation>Inspection</translation>
    </message>
    <message>
        <source>(spinlog --help で使い方を表示します)</source>
        <translation> (spinlog --help shows the usage)</translation>
    </message>
    <message>
        <source>        spinlog --scramble 種類 [個数]   スクランブルを個数分 (既定 1、最大 %1) 1 行に 1 つずつ出力します
        種類: %2
</source>
        <translation>        spinlog --scramble KIND [COUNT]  writes COUNT scrambles (default 1, at most %1), one a line
        KIND: %2
</translation>
    </message>
    <message>
        <source>--scramble 種類 [個数] の形で指定してください。</source>
        <translation>Use: --scramble KIND [COUNT]</translation>
    </message>
    <message>
        <source>スクランブルの種類「%1」はありません。種類: %2。</source>
        <translation>There is no scramble kind &quot;%1&quot;. Kinds: %2.</translation>
    </message>
    <message>
        <source>個数は 1 から %1 までの整数で指定してください (「%2」)。</source>
        <translation>COUNT must be a whole number from 1 to %1 (&quot;%2&quot;).</translation>
    </message>
    <message>
        <source>スクランブル</source>
        <translation>Scramble</translation>
    </message>
    <message>
        <source>このタイプのスクランブルはありません</source>
        <translation>No scramble for this type</translation>
    </message>
    <message>
        <source>前回: </source>
        <translation>Previous: </translation>
    </message>
    <message>
        <source>タイプ「%1」の回数(%2)では計測できません。<byte value="xd"/>
オプションのタイプ設定で回数を1～12から選んでください</source>
        <translation>Type &quot;%1&quot; cannot be timed with %2 solves.<byte value="xd"/>
Choose 1 to 12 solves for it in the options&apos; puzzle types</translation>
    </message>
    <message>
        <source>0 で除算しました。</source>
        <translation>Division by zero.</translation>
    </message>
    <message>
        <source>解答数</source>
        <translation>Solves</translation>
    </message>
    <message>
        <source>標準偏差</source>
        <translation>Std. dev.</translation>
    </message>
    <message>
        <source>最速</source>
        <translation>Best</translation>
    </message>
    <message>
        <source>最遅</source>
        <translation>Worst</translation>
    </message>
    <message>
        <source>中央値</source>
        <translation>Median</translation>
    </message>
    <message>
        <source>日ごとの解答数 (解答のあった直近%1日)</source>
        <translation>Solves per day (the last %1 days with solves)</translation>
    </message>
    <message>
        <source>統計</source>
        <translation>Statistics</translation>
    </message>
    <message>
        <source>計測中のセットを含める</source>
        <translation>Include the series under way</translation>
    </message>
    <message>
        <source>現在</source>
        <translation>Current</translation>
    </message>
    <message>
        <source>ベスト</source>
        <translation>Best</translation>
    </message>
    <message>
        <source>ベストの日時</source>
        <translation>Best on</translation>
    </message>
    <message>
        <source>タイムの分布</source>
        <translation>Distribution of times</translation>
    </message>
    <message>
        <source>タイム (秒)</source>
        <translation>Time (s)</translation>
    </message>
    <message>
        <source>計測中のセット</source>
        <translation>series under way</translation>
    </message>
    <message>
        <source>解答 %1 件</source>
        <translation>%1 solves</translation>
    </message>
    <message>
        <source>&#x3000;グラフの範囲より遅い解答 %1 件</source>
        <translation>   %1 solves slower than the chart shows</translation>
    </message>
    <message>
        <source>&#x3000;読めない記録 %1 件</source>
        <translation>   %1 unreadable records</translation>
    </message>
    <message>
        <source>表示言語(&amp;L):</source>
        <translation>&amp;Language:</translation>
    </message>
    <message>
        <source>日本語</source>
        <translation>Japanese</translation>
    </message>
    <message>
        <source>（次回の起動から）</source>
        <translation>(from the next start)</translation>
    </message>
    <message>
        <source>なし</source>
        <comment>no count</comment>
        <translation>none</translation>
    </message>
    <message>
        <source>平均</source>
        <comment>mean of solves</comment>
        <translation>Mean</translation>
    </message>
    <message>
        <source>        spinlog --export-cstimer ファイル [タイプ]  計測結果(タイプの指定でそのタイプだけ)を csTimer の形式で出力します
        spinlog --export-twisty ファイル [タイプ]   計測結果を Twisty Timer のバックアップの形式で出力します
        spinlog --import ファイル [--type タイプ | --new-types]   csTimer・Twisty Timer・Spinlog の CSV の記録を取り込みます(名前の合うタイプへ、指定でそのタイプへ、--new-types で名前の合わないセッションは新しいタイプ(5回)へ)
</source>
        <translation>        spinlog --export-cstimer FILE [TYPE]  writes the history (of TYPE only, if given) in csTimer&apos;s format
        spinlog --export-twisty FILE [TYPE]   writes the history as a Twisty Timer backup
        spinlog --import FILE [--type TYPE | --new-types]   imports solves from csTimer, Twisty Timer or Spinlog&apos;s CSV (into the types of the sessions&apos; names, into TYPE if given; with --new-types, sessions named like no type become new types of 5 solves)
</translation>
    </message>
    <message>
        <source>%1 ファイル [タイプ] の形で指定してください。</source>
        <translation>Use: %1 FILE [TYPE]</translation>
    </message>
    <message>
        <source>コメント設定エラー</source>
        <translation>Comment error</translation>
    </message>
    <message>
        <source>解答表示エラー</source>
        <translation>Solve view error</translation>
    </message>
    <message>
        <source>このデータベースには解答ごとの記録を書けません。</source>
        <translation>This database cannot keep a record of each solve.</translation>
    </message>
    <message>
        <source>、記録に入らない回 %1 回</source>
        <translation>, %1 solves outside records</translation>
    </message>
    <message>
        <source>解答の詳細(&amp;S)...</source>
        <translation>&amp;Solves...</translation>
    </message>
    <message>
        <source>記録に入らない回</source>
        <translation>Solves outside records</translation>
    </message>
    <message>
        <source>解答の詳細</source>
        <translation>Solves</translation>
    </message>
    <message>
        <source>回</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>ペナルティ</source>
        <translation>Penalty</translation>
    </message>
    <message>
        <source>コメント</source>
        <translation>Comment</translation>
    </message>
    <message>
        <source>コメント...</source>
        <translation>Comment...</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>%1回目 (%2) のコメント:</source>
        <translation>Comment on solve %1 (%2):</translation>
    </message>
    <message>
        <source>作る記録 %1 件、記録に入らない回 %2 回（重複 %3 回は追加しません）、取り込まない回 %4 回
</source>
        <translation>%1 records to make, %2 solves outside records (%3 duplicate solves not added), %4 solves not imported
</translation>
    </message>
    <message>
        <source>日時のない回 %1 回はファイルの日時で記録します
</source>
        <translation>%1 solves without a date take the file&apos;s date
</translation>
    </message>
    <message>
        <source>「%1」→ %2: %3 回（+2 %4、DNF %5）、%6 件の記録、重複 %7 回、記録に入らない回 %8 回
</source>
        <translation>&quot;%1&quot; → %2: %3 solves (+2 %4, DNF %5), %6 records, %7 duplicate solves, %8 solves outside records
</translation>
    </message>
    <message>
        <source>    記録に入らない回: %1 %2
</source>
        <translation>    outside records: %1 %2
</translation>
    </message>
    <message>
        <source>「%1」の記録に入らない回: %2 %3
</source>
        <translation>outside records from &quot;%1&quot;: %2 %3
</translation>
    </message>
    <message>
        <source>ほかに記録に入らない回 %1 回
</source>
        <translation>%1 more solves outside records
</translation>
    </message>
    <message>
        <source>%1 件の記録を追加しました（重複 %2 回は追加していません）。</source>
        <translation>Added %1 records (%2 duplicate solves left out).</translation>
    </message>
    <message>
        <source><byte value="xd"/>
記録に入らない回 %1 回も追加しました。</source>
        <translation><byte value="xd"/>
Added %1 solves outside records too.</translation>
    </message>
    <message>
        <source><byte value="xd"/>
取り込まなかった回: %1 回</source>
        <translation><byte value="xd"/>
Solves not imported: %1</translation>
    </message>
    <message>
        <source>スクランブル: </source>
        <translation>Scramble: </translation>
    </message>
    <message>
        <source>コメント: </source>
        <translation>Comment: </translation>
    </message>
</context>
</TS>
