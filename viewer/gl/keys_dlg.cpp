#include "viewer/gl/keys_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "viewer/gl/cjk_font.h"

namespace {

const char* const kOstrelGuide[] = {
    "Ostrelapp 操作キー一覧",
    "",
    "１．概要",
    "　Ostrelapp の視点の操作は、人の目の動きと同じ考え方でできています。",
    "　視点（カメラ）を右へ動かすと、モデルは画面の左へ動いて見えます。",
    "　視点を前へ進めると、モデルは近づいて大きく見えます。",
    "　Quenor/Zuzoz のプリプロセッサの構造図表示のように",
    "　モデルそのものを動かす操作とは、動きの向きが逆になりますので",
    "　注意してください。",
    "　以下、「視点」はモデルを見る目の位置、「中心」は目が見ている点です。",
    "　モデルを回転させたいときは Ctrl＋左ドラッグを使います。",
    "",
    "２．起動方法",
    "　Ostrel を起動すると、タイトル「Ostrelapp」が表示されます。",
    "　メニューの「ファイル」→「開く」で解析モデル（*.dat, *.da_）を",
    "　開きます。解析モデルのファイルをウィンドウへドロップしても開けます。",
    "　読み込み中は「開く」や「閉じる」などのメニューは使えません。",
    "　読み込み中はステータスバーに進行状況が表示されます。",
    "　読み込みが終わると、モデルが描画されます。",
    "",
    "３．操作方法",
    "(1)視点ジャンプ移動",
    "　マウスの右ボタンをクリックするとメニューが表示されます。",
    "　　＋Ｘ軸、－Ｘ軸、＋Ｙ軸、－Ｙ軸、＋Ｚ軸、－Ｚ軸",
    "　の中から選ぶと、その軸の方向からモデルの中心を見る位置へ",
    "　視点が移動します（中心からの距離は変わりません）。",
    "　＋Ｘ軸はＸ軸の正の側から、－Ｘ軸は負の側からモデルを見ます。",
    "　＋Ｚ軸は真上から見下ろし、－Ｚ軸は真下から見上げる視点です。",
    "　Shift キーを押しながら選ぶと、視点の位置はそのままで",
    "　向きだけがその軸の方向に変わります。",
    "　M キーを押すと、同じメニューが画面の中央に表示されます。",
    "　C キー　：モデルの中心を斜め上から見る位置へ戻ります。",
    "　R キー　：視点の位置はそのままで、反対の方向を向きます。",
    "",
    "(2)視点移動",
    "　［マウス］",
    "　マウスを動かした量に応じて視点が動きます。",
    "　ホイール前後　　　　　　　：視点の前進・後退",
    "　Shift＋ホイール前後　　　　：前進・後退（10倍の速さ）",
    "　Shift＋Ctrl＋ホイール前後　：ズーム（視野角または表示倍率の変更）",
    "　左ドラッグ　　　　　　　　：視線の向きを変える（首を振る）",
    "　Shift＋左ドラッグ　　　　　：視点を左右・上下に平行移動",
    "　Ctrl＋左ドラッグ　　　　　：中心の周りにモデルを回転",
    "　左クリック（動かさない）　：その位置の要素番号と材料番号を表示",
    "　　　　　　　　　　　　　　　（画面を描き直すと消えます）",
    "　［キーボード］",
    "　↑ キー　　　　　　：前進",
    "　↓ キー　　　　　　：後退",
    "　← キー　　　　　　：左へ移動",
    "　→ キー　　　　　　：右へ移動",
    "　Shift＋← → キー　：左・右へ移動（2倍の速さ）",
    "　Shift＋↑ キー　　：上へ移動",
    "　Shift＋↓ キー　　：下へ移動",
    "　Ctrl＋← キー　　　：左を見る",
    "　Ctrl＋→ キー　　　：右を見る",
    "　Ctrl＋↑ キー　　　：上を見る",
    "　Ctrl＋↓ キー　　　：下を見る",
    "　キーを押し続けると、同じ動きが続きます。",
    "　X, Y, Z キー　　　：＋X, ＋Y, ＋Z 方向へ移動",
    "　Shift＋X, Y, Z キー：－X, －Y, －Z 方向へ移動",
    "　A キー　　　　　　：＋X 方向へ少し移動",
    "　S キー　　　　　　：－X 方向へ少し移動",
    "　D キー　　　　　　：前進（Shift＋D：後退）",
    "　F キー　　　　　　：少し後ろへ下がる",
    "　H キー　　　　　　：中心の周りに視点を 10 度下げる",
    "　J キー　　　　　　：中心の周りに視点を 10 度上げる",
    "　I キー　　　　　　：中心の周りに視点を上下に回転（Shift で逆向き）",
    "　K キー　　　　　　：中心の周りに視点を左右に回転（Shift で逆向き）",
    "　L キー　　　　　　：左右を見る（Shift で逆向き）",
    "　O キー　　　　　　：上下を見る（Shift で逆向き）",
    "　Esc キー　　　　　：マウスの捕捉を解除",
    "　移動の種類はステータスバーに矢印付きで表示されます。",
    "",
    "(3)視点位置の保存および呼出し",
    "　Enter キー　　　　　：現在の視点を登録します（最大 1000 個）。",
    "　Home キー　　　　　：最初の視点へ戻ります。",
    "　数字キー 0～9　　　：その番号の登録視点を呼び出します。",
    "　（数字キーは Shift を押していても番号として扱われます。）",
    "　Shift＋＜ キー　　：一つ前の登録視点を呼び出します。",
    "　Shift＋＞ キー　　：一つ後の登録視点を呼び出します。",
    "　メニューの「表示」→「視点登録」でも現在の視点を登録できます。",
    "　「表示」→「視点登録の全削除」で登録をすべて削除します。",
    "　「ファイル」→「視点の保存」で、登録した視点を",
    "　解析モデルと同じ名前の .eye ファイルに保存します。",
    "　次にその解析モデルを開くと、保存した視点が読み込まれます。",
    "　保存しなかった登録視点は、モデルを閉じると失われます。",
    "",
    "(4)表示モードの切替え",
    "　F9 キー　　　：ワイヤーフレーム表示と隠面処理表示を切り替えます。",
    "　　　　　　　　　ワイヤーフレーム表示のほうが速く描画されます。",
    "　F2～F5 キー　：部材の種類ごとに表示・非表示を切り替えます。",
    "　　F2：種類 0（標準）、F3：種類 1（青）、F4：種類 2（黄）、F5：種類 3（赤）",
    "　　種類は解析モデルと同じ名前の .clr ファイルで要素ごとに指定します。",
    "　「表示」→「材料表示」で材料ごとの色、",
    "　「表示」→「標準表示」で標準の色の表示になります。",
    "",
    "以上",
};

const char* const kVarnekGuide[] = {
    "Varnekapp 操作キー一覧",
    "",
    "１．概要",
    "　Varnekapp は解析結果を表示するプログラムです。",
    "　視点の操作は Ostrelapp と同じで、人の目の動きと同じ考え方です。",
    "　視点（カメラ）を右へ動かすと、モデルは画面の左へ動いて見えます。",
    "　Quenor/Zuzoz のプリプロセッサやポストプロセッサのように",
    "　モデルそのものを動かす操作とは、動きの向きが逆になりますので",
    "　注意してください。",
    "　以下、「視点」はモデルを見る目の位置、「中心」は目が見ている点です。",
    "　表示できる図は次の七つです。",
    "　　・構造図",
    "　　・変形図（固有値解析では固有モード図）",
    "　　・応力図",
    "　　・ひずみ図",
    "　　・断面力図",
    "　　・シェル応力図",
    "　　・シェルひずみ図",
    "",
    "２．起動方法",
    "　Varnek を起動すると、タイトル「Varnekapp」が表示されます。",
    "　メニューの「ファイル」→「開く」で、拡張子が「.in」の解析ファイルを",
    "　開きます。解析ファイルをウィンドウへドロップしても開けます。",
    "　解析結果のファイルは、解析ファイルと同じフォルダに置いてください。",
    "　開くと、まず構造図が描画されます。",
    "　開いた時点では解析結果は読まれず、図を選んだときに読み込まれます。",
    "",
    "３．操作方法",
    "(1)視点ジャンプ移動",
    "　マウスの右ボタンをクリックするとメニューが表示されます。",
    "　　アイソメ図、＋Ｘ軸、－Ｘ軸、＋Ｙ軸、－Ｙ軸、＋Ｚ軸、－Ｚ軸",
    "　の七つの中から選びます。",
    "　アイソメ図を選ぶと、最初に表示したときの視点へ戻ります。",
    "　軸を選ぶと、その軸の方向からモデルの中心を見る位置へ",
    "　視点が移動します（中心からの距離は変わりません）。",
    "　＋Ｘ軸はＸ軸の正の側から、－Ｘ軸は負の側からモデルを見ます。",
    "　＋Ｚ軸は真上から見下ろし、－Ｚ軸は真下から見上げる視点です。",
    "　Shift キーを押しながら選ぶと、視点の位置はそのままで",
    "　向きだけがその軸の方向に変わります。",
    "　M キーを押すと、同じメニューが画面の中央に表示されます。",
    "　C キー　：モデルの中心を斜め上から見る位置へ戻ります。",
    "　R キー　：視点の位置はそのままで、反対の方向を向きます。",
    "",
    "(2)視点移動",
    "　［マウス］",
    "　マウスを動かした量に応じて視点が動きます。",
    "　ホイール前後　　　　　　　：視点の前進・後退",
    "　Shift＋ホイール前後　　　　：前進・後退（10倍の速さ）",
    "　Shift＋Ctrl＋ホイール前後　：ズーム（視野角を狭くする）",
    "　左ドラッグ　　　　　　　　：視線の向きを変える（首を振る）",
    "　Shift＋左ドラッグ　　　　　：視点を左右・上下に平行移動",
    "　中ボタンドラッグ　　　　　：視点を左右・上下に平行移動",
    "　Ctrl＋左ドラッグ　　　　　：中心の周りにモデルを回転",
    "　［キーボード］",
    "　キーを押すたびに一定の量だけ視点が動きます。",
    "　↑ キー　　　　　　：前進",
    "　↓ キー　　　　　　：後退",
    "　← キー　　　　　　：左へ移動",
    "　→ キー　　　　　　：右へ移動",
    "　Shift＋← → キー　：左・右へ移動（2倍の速さ）",
    "　Shift＋↑ キー　　：上へ移動",
    "　Shift＋↓ キー　　：下へ移動",
    "　Ctrl＋← キー　　　：左を見る",
    "　Ctrl＋→ キー　　　：右を見る",
    "　Ctrl＋↑ キー　　　：上を見る",
    "　Ctrl＋↓ キー　　　：下を見る",
    "　X, Y, Z キー　　　：＋X, ＋Y, ＋Z 方向へ移動",
    "　Shift＋X, Y, Z キー：－X, －Y, －Z 方向へ移動",
    "　A キー　　　　　　：＋X 方向へ少し移動",
    "　S キー　　　　　　：－X 方向へ少し移動",
    "　D キー　　　　　　：前進（Shift＋D：後退）",
    "　F キー　　　　　　：少し後ろへ下がる",
    "　H キー　　　　　　：中心の周りに視点を 10 度下げる",
    "　J キー　　　　　　：中心の周りに視点を 10 度上げる",
    "　I キー　　　　　　：中心の周りに視点を上下に回転（Shift で逆向き）",
    "　K キー　　　　　　：中心の周りに視点を左右に回転（Shift で逆向き）",
    "　L キー　　　　　　：左右を見る（Shift で逆向き）",
    "　O キー　　　　　　：上下を見る（Shift で逆向き）",
    "　Esc キー　　　　　：マウスの捕捉を解除",
    "　移動の種類はステータスバーに矢印付きで表示されます。",
    "",
    "(3)解析結果の表示",
    "　メニューバーから七つの図のどれかを選びます。",
    "　変形図では、表示するステップと変形の倍率を指定します。",
    "　そのほかの図では、表示するステップと成分を指定します。",
    "　ステップの一覧は、前回表示したステップが選ばれた状態で開きます。",
    "　静的解析は荷重ケースとステップ、動的解析は時刻のステップ、",
    "　固有値解析はモード番号で選びます。",
    "　応力図・ひずみ図はファイバーの値を、",
    "　シェル応力図・シェルひずみ図はシェル要素の値を色で表示します。",
    "　断面力は、モーメント図ではなく、値に応じた色で表示します。",
    "　値の図では、画面に凡例（コンター レベル）が表示されます。",
    "　ウィンドウの左上には、表示中の図のステップが表示されます。",
    "　コンター図の描画は Ostrelapp よりも時間がかかります。",
    "　また、隠面処理が正確でない部分が表示されることがあります。",
    "　構造図に戻るには、メニューから構造図を選びます。",
    "",
    "以上",
};

CKeysDlg* g_pKeysDlg = nullptr;

}  // namespace

const std::vector<const char*>& KeyGuideLines(ViewerProgram program) {
  static const std::vector<const char*> ostrel(std::begin(kOstrelGuide), std::end(kOstrelGuide));
  static const std::vector<const char*> varnek(std::begin(kVarnekGuide), std::end(kVarnekGuide));
  return program == ViewerProgram::Varnek ? varnek : ostrel;
}

QString KeyGuideText(ViewerProgram program) {
  QString text;
  for (const char* line : KeyGuideLines(program)) {
    text += QString::fromUtf8(line);
    text += QLatin1Char('\n');
  }
  return text;
}

CKeysDlg::CKeysDlg(ViewerProgram program, QWidget* parent) : QDialog(parent), m_program(program) {
  setWindowTitle(QStringLiteral("操作キー一覧"));
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("操作キー一覧"), this));
  m_pEdit = new QPlainTextEdit(this);
  m_pEdit->setReadOnly(true);
  m_pEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
  m_pEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  m_pEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  m_pEdit->setFont(CjkMonoFont(14));
  layout->addWidget(m_pEdit, 1);
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(QDialogButtonBox::Ok);
  buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  resize(640, 520);
}

CKeysDlg* CKeysDlg::ShowKeys(ViewerProgram program) {
  if (!g_pKeysDlg) {
    g_pKeysDlg = new CKeysDlg(program);
    g_pKeysDlg->m_pEdit->setPlainText(KeyGuideText(program));
  }
  g_pKeysDlg->show();
  g_pKeysDlg->raise();
  g_pKeysDlg->activateWindow();
  return g_pKeysDlg;
}

CKeysDlg* CKeysDlg::Instance() { return g_pKeysDlg; }

void CKeysDlg::DestroyInstance() {
  delete g_pKeysDlg;
  g_pKeysDlg = nullptr;
}
