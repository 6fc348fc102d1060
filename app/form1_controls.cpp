// Building the window: every control at its place, in focus order, in its initial state.
#include "app/form1.h"
#include "app/line_break_folding.h"
#include "app/steady_cursor.h"

#include "platform/input_method/hiragana_on_focus.h"
#include "platform/list/list_view.h"
#include "platform/list/report_view.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleFactory>
#include <limits>

namespace {

// Positions and sizes are kept in twips, the unit the layout was drawn in; 15 twips are
// one pixel at 96 dots per inch.
constexpr int twips(int value) { return value / 15; }

void place(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(twips(left), twips(top), twips(width), twips(height));
}

QPushButton *button(QWidget *parent, const QString &caption, int l, int t, int w, int h)
{
    auto *b = new QPushButton(caption, parent);
    b->setAutoDefault(false);
    b->setDefault(false);
    place(b, l, t, w, h);
    return b;
}

QRadioButton *option(QWidget *parent, const QString &caption, int l, int t, int w, int h)
{
    auto *b = new QRadioButton(caption, parent);
    place(b, l, t, w, h);
    return b;
}

// The list's font: MS P Gothic where installed, else its metric-compatible stand-in,
// else any Japanese gothic. Qt takes the first family of the list that is installed, so
// the font database need not be listed (which would load every font at start-up).
QFont listFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                      QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP"),
                      QStringLiteral("IPAGothic")});
    font.setPointSize(12);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

// The window's own text: a 9-point Japanese gothic with proportional kana, like the
// system font the layout was drawn for, so every caption fits the fixed pixel layout
// whatever font the desktop prefers.
QFont windowFont()
{
    QFont font = QApplication::font();
    QStringList families = {QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP")};
    families << font.families();
    font.setFamilies(families);
    font.setPointSize(9);
    return font;
}

} // namespace

void Form1::createControls()
{
    setWindowTitle(QStringLiteral("放送用データ作成ツール"));
    // A fixed dialog frame: close button and system menu, no minimize or maximize.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    setFont(windowFont());
    auto *client = new QWidget(this);
    client->setFixedSize(twips(10020), twips(6405));
    setCentralWidget(client);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    // Created in focus order, so the default tab chain is the intended one.
    ListView1 = new ListView(client);
    ReportView *list = ListView1->view();
    place(list, 30, 0, 9930, 4230);
    list->setFont(listFont());
    // The headers keep the window's font, so their captions fit the column widths.
    list->header()->setFont(font());
    list->header()->resizeSection(0, twips(6000));
    list->header()->resizeSection(1, twips(1440));
    list->header()->resizeSection(2, twips(1440));

    const QString captions[7] = {
        QStringLiteral("行の追加"), QStringLiteral("行の削除"), QStringLiteral("コピー"),
        QStringLiteral("追加貼付"), QStringLiteral("挿入貼付"), QStringLiteral("上へ移動"),
        QStringLiteral("下へ移動")};
    const int geometry[7][4] = {{105, 4305, 1050, 345},  {1230, 4305, 1050, 345},
                                {2715, 4305, 1050, 345}, {3810, 4305, 1050, 345},
                                {4965, 4305, 1020, 345}, {6645, 4320, 1110, 345},
                                {7800, 4320, 1110, 345}};
    for (size_t i = 0; i < Command2.size(); ++i) {
        Command2[i] = button(client, captions[i], geometry[i][0], geometry[i][1],
                             geometry[i][2], geometry[i][3]);
    }

    Frame2 = new QGroupBox(QStringLiteral("編集"), client);
    place(Frame2, 210, 4680, 9690, 1605);

    Frame1 = new QGroupBox(QStringLiteral("サウンド指定信号"), Frame2);
    place(Frame1, 2565, 930, 4275, 525);
    Option1[3] = option(Frame1, QStringLiteral("3"), 3135, 180, 915, 255);
    Option1[2] = option(Frame1, QStringLiteral("2"), 2145, 180, 915, 255);
    Option1[1] = option(Frame1, QStringLiteral("1"), 1140, 180, 915, 255);
    Option1[0] = option(Frame1, QStringLiteral("0(なし)"), 120, 195, 915, 255);
    Option1Group = new QButtonGroup(this);
    Option1Group->setExclusive(true);
    for (int i = 0; i < 4; ++i)
        Option1Group->addButton(Option1[static_cast<size_t>(i)], i);
    // Tab enters the group at its chosen option only; the arrow keys move within it.
    connect(Option1Group, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        Option1[static_cast<size_t>(id)]->setFocusPolicy(checked ? Qt::StrongFocus
                                                                 : Qt::ClickFocus);
    });
    for (QRadioButton *b : Option1)
        b->setFocusPolicy(Qt::ClickFocus);
    Option1[0]->setChecked(true);

    Check1 = new QCheckBox(QStringLiteral("運賃表示切替"), Frame2);
    place(Check1, 1005, 1095, 1470, 255);

    Text1 = new QLineEdit(Frame2);
    place(Text1, 990, 330, 7485, 345);
    // A line edit stops at 32767 characters by default; content of any length must load
    // and confirm whole.
    Text1->setMaxLength(std::numeric_limits<int>::max());
    new SteadyCursorForLongText(Text1);
    new LineBreakFolding(Text1);
    // Content is Japanese: the input method comes on in hiragana whenever it takes the
    // keyboard.
    new HiraganaOnFocus(Text1, m_services.inputMethod);

    Command3 = button(Frame2, QStringLiteral("確定"), 8580, 255, 975, 555);

    Label1 = new QLabel(QStringLiteral("放送内容："), Frame2);
    place(Label1, 105, 390, 885, 255);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    Frame3 = new QGroupBox(QString(), Frame2);
    place(Frame3, 7065, 900, 2505, 600);
    Command1[0] = button(Frame3, QStringLiteral("再生"), 150, 195, 630, 330);
    Command1[1] = button(Frame3, QStringLiteral("停止"), 780, 195, 630, 330);
    Command1[2] = button(Frame3, QStringLiteral("音声調整"), 1455, 195, 975, 330);

    // Frames draw their caption on the border line, so the controls placed just under the
    // caption stay clear of the line.
    if (QStyle *frameStyle = QStyleFactory::create(QStringLiteral("Windows"))) {
        frameStyle->setParent(this);
        for (QGroupBox *frame : {Frame1, Frame2, Frame3})
            frame->setStyle(frameStyle);
    }

    // What a screen reader says: the list and the speech buttons' frame show no caption, a
    // frame inside a frame would be named after the outer one, the content field is named
    // by its label, and each sound option says which signal it sets.
    list->setAccessibleName(QStringLiteral("放送用データ"));
    Label1->setBuddy(Text1);
    Frame1->setAccessibleName(Frame1->title());
    Frame3->setAccessibleName(QStringLiteral("音声の試聴"));
    for (QRadioButton *b : Option1)
        b->setAccessibleName(Frame1->title() + QLatin1Char(' ') + b->text());

    // Focus order: the list, the seven row buttons, the sound options, the check box,
    // the content, confirm, then the speech buttons.
    QWidget *chain[] = {list,       Command2[0], Command2[1], Command2[2], Command2[3],
                        Command2[4], Command2[5], Command2[6], Option1[3],  Option1[2],
                        Option1[1],  Option1[0],  Check1,      Text1,       Command3,
                        Command1[0], Command1[1], Command1[2]};
    for (size_t i = 0; i + 1 < std::size(chain); ++i)
        setTabOrder(chain[i], chain[i + 1]);
}

void Form1::createMenu()
{
    MnuFile = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    MnuFileNew = MnuFile->addAction(QStringLiteral("新規作成(&N)"));
    MnuFileOpen = MnuFile->addAction(QStringLiteral("開く(&O)"));
    MnuFileSave = MnuFile->addAction(QStringLiteral("保存(&S)"));
    MnuBdr1 = MnuFile->addSeparator();
    MnuFileExit = MnuFile->addAction(QStringLiteral("終了(&X)"));
}
