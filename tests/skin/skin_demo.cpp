// Shows the program's kinds of controls laid out like its three windows, with
// skin 10 (Aero on, as at start-up) or, with --plain, as the system draws
// them; --skin N shows another skin, --no-aero without the Aero variant;
// --shot FILE saves a screenshot of the window and quits. For looking at
// skins under Xvfb:
//
//   xvfb-run -s "-screen 0 1024x768x24" skin_demo main --shot main.png
//
// Windows: login, main, menu, editor, box, error, gallery, dropdown.
#include <QApplication>
#include <QComboBox>
#include <QFont>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "app/skin_setup.h"
#include "common/message_box.h"
#include "common/text_encoding.h"
#include "platform/files.h"

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

template <typename Widget>
Widget* Place(QWidget* parent, int left, int top, int width, int height, Widget* widget) {
    widget->setParent(parent);
    widget->setGeometry(left, top, width, height);
    return widget;
}

QLabel* Label(QWidget* w, const char* text, int l, int t, int wd, int h) {
    return Place(w, l, t, wd, h, new QLabel(U(text)));
}
QLineEdit* Edit(QWidget* w, const char* text, int l, int t, int wd, int h) {
    return Place(w, l, t, wd, h, new QLineEdit(U(text)));
}
QComboBox* Combo(QWidget* w, const char* text, int l, int t, int wd, int h) {
    auto* combo = Place(w, l, t, wd, h, new QComboBox);
    combo->setEditable(true);
    combo->addItems({U("淘宝小铺"), U("天猫旗舰"), U("拼多多店")});
    combo->setEditText(U(text));
    return combo;
}
QPushButton* Button(QWidget* w, const char* text, int l, int t, int wd, int h) {
    return Place(w, l, t, wd, h, new QPushButton(U(text)));
}
QGroupBox* Group(QWidget* w, const char* text, int l, int t, int wd, int h) {
    auto* group = Place(w, l, t, wd, h, new QGroupBox(U(text)));
    group->lower();
    return group;
}

QWidget* LoginWindow() {
    auto* w = new QWidget;
    w->setWindowTitle("Tallovar");
    w->setFixedSize(395, 269);
    Group(w, "登录", 32, 16, 320, 200);
    Label(w, "用户名：", 56, 80, 40, 24);
    Edit(w, "admin", 128, 72, 176, 32);
    Label(w, "密码：", 64, 120, 40, 24);
    Edit(w, "admin", 128, 120, 176, 32)->setEchoMode(QLineEdit::Password);
    Button(w, "登录", 160, 168, 96, 24);
    return w;
}

QTableWidget* OrderList(QWidget* w) {
    auto* list = Place(w, 6, 147, 826, 216, new QTableWidget(0, 15));
    const char* headers[] = {"ID",       "卖家账号", "订单号",     "快递公司", "运单号",
                             "商品名称", "售价",     "进价",       "佣金",     "利润",
                             "订单日期", "购买账号", "购买订单号", "收货信息", "备注"};
    const int widths[] = {1, 72, 57, 72, 57, 72, 45, 45, 45, 45, 70, 72, 72, 72, 45};
    for (int c = 0; c < 15; ++c) {
        list->setHorizontalHeaderItem(c, new QTableWidgetItem(U(headers[c])));
        list->setColumnWidth(c, widths[c]);
    }
    list->verticalHeader()->hide();
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->verticalHeader()->setDefaultSectionSize(20);
    const char* goods[] = {"蓝牙耳机", "保温杯", "数据线", "手机壳", "台灯",   "雨伞",
                           "收纳盒",   "毛巾",   "水杯",   "鼠标垫", "插线板", "抱枕"};
    for (int r = 0; r < 12; ++r) {
        list->insertRow(r);
        const QStringList row = {QString::number(40 - r),
                                 U(r % 2 ? "天猫旗舰" : "淘宝小铺"),
                                 QString::number(2024031500 + r),
                                 r % 3 ? U("中通快递") : QString(),
                                 r % 3 ? QString::number(7312000 + r) : QString(),
                                 U(goods[r]),
                                 "39.9",
                                 "25",
                                 "2",
                                 "16.9",
                                 QString("2024-3-%1").arg(15 - r),
                                 U("采购号一"),
                                 QString::number(880100 + r),
                                 U("上海市浦东新区"),
                                 r == 4 ? U("问题") : QString()};
        for (int c = 0; c < 15; ++c) list->setItem(r, c, new QTableWidgetItem(row[c]));
    }
    list->selectRow(2);
    return list;
}

QWidget* MainWindow() {
    auto* w = new QWidget;
    w->setWindowTitle(U("订单管理"));
    w->resize(852, 442);
    Group(w, "查询", 6, 3, 722, 109);
    Label(w, "卖家账号：", 37, 21, 67, 16);
    Combo(w, "", 106, 19, 96, 20);
    Label(w, "订单号：", 214, 22, 56, 16);
    Edit(w, "", 271, 22, 120, 20);
    Label(w, "商品名称：", 422, 21, 56, 16);
    Edit(w, "", 493, 22, 120, 20);
    Label(w, "快递公司：", 44, 50, 56, 24);
    Combo(w, "中通快递", 107, 53, 97, 20);
    Label(w, "快递单号：", 212, 56, 64, 16);
    Edit(w, "", 271, 53, 120, 20);
    Label(w, "收货信息：", 433, 47, 62, 24);
    Edit(w, "", 493, 49, 120, 20);
    Label(w, "购买账号：", 32, 82, 60, 16);
    Combo(w, "", 101, 83, 96, 20);
    Label(w, "购买订单号：", 209, 83, 74, 16);
    Edit(w, "", 288, 82, 120, 20);
    Label(w, "备注：", 441, 78, 37, 16);
    Edit(w, "", 494, 77, 120, 20);
    Button(w, "清空", 634, 56, 80, 24);
    Button(w, "查询", 752, 13, 80, 24);
    Button(w, "等待发货", 752, 48, 80, 24);
    Button(w, "问题订单", 752, 84, 80, 24);
    QLabel* totals =
        Label(w, "记录：12 条  售价合计：478.8  进价合计：300  佣金合计：24  利润合计：202.8", 24,
              120, 720, 24);
    QFont bold = totals->font();
    bold.setBold(true);
    bold.setPixelSize(14);
    totals->setFont(bold);
    QPalette red = totals->palette();
    red.setColor(QPalette::WindowText, QColor(255, 0, 0));
    totals->setPalette(red);
    OrderList(w)->setFocus();
    return w;
}

QWidget* EditorWindow() {
    auto* w = new QWidget;
    w->setWindowTitle(U("修改订单"));
    w->setFixedSize(724, 373);
    Group(w, "卖家信息", 10, 8, 694, 80);
    Label(w, "卖家：", 26, 32, 32, 16);
    Combo(w, "淘宝小铺", 66, 32, 96, 20);
    Label(w, "订单号：", 167, 34, 46, 16);
    Edit(w, "2024031502", 217, 33, 120, 20)->setReadOnly(true);
    Label(w, "快递公司：", 342, 32, 56, 24);
    Combo(w, "中通快递", 403, 33, 97, 20);
    Label(w, "快递单号：", 505, 36, 58, 16);
    Edit(w, "7312002", 569, 33, 120, 20);
    Label(w, "商品名称：", 25, 59, 63, 16);
    Edit(w, "数据线 1.5 米 快充", 87, 58, 409, 20);
    Label(w, "卖出日期：", 503, 60, 57, 16);
    Edit(w, "2024-3-13", 569, 59, 120, 20);
    Group(w, "购买信息", 10, 93, 694, 83);
    Label(w, "购买账号：", 26, 115, 62, 16);
    Combo(w, "采购号一", 88, 114, 96, 20)->setEnabled(false);
    Label(w, "购买订单号：", 197, 116, 68, 16);
    Edit(w, "880102", 271, 115, 120, 20);
    Label(w, "收货信息：", 25, 142, 63, 16);
    Edit(w, "上海市浦东新区世纪大道 100 号 张三 13800000000", 87, 141, 601, 20);
    Group(w, "价格信息", 10, 181, 694, 51);
    Label(w, "售价：", 27, 200, 37, 16);
    Edit(w, "39.9", 64, 199, 56, 20);
    Label(w, "进价：", 128, 201, 37, 16);
    Edit(w, "25", 165, 200, 56, 20);
    Label(w, "佣金：", 231, 201, 37, 16);
    Edit(w, "2", 268, 200, 56, 20);
    Label(w, "利润：", 335, 201, 33, 16);
    QLineEdit* profit = Edit(w, "16.9", 371, 200, 56, 20);
    profit->setReadOnly(true);
    profit->setEnabled(false);
    Label(w, "备注：", 10, 259, 32, 24);
    auto* remark = Place(w, 47, 243, 657, 61, new QTextEdit(U("客户要求周末送达")));
    remark->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    remark->setTextColor(QColor(255, 0, 0));
    remark->setPlainText(U("客户要求周末送达"));
    QPalette red = remark->palette();
    red.setColor(QPalette::Text, QColor(255, 0, 0));
    remark->setPalette(red);
    Button(w, "添加", 186, 313, 96, 24)->setEnabled(false);
    Button(w, "修改", 304, 313, 96, 24)->setDefault(true);
    Button(w, "清空", 421, 313, 96, 24);
    return w;
}

// Every state of the controls side by side; `openList` drops a combo box's
// list down (while it is open no other control shows the pointer over it).
QWidget* Gallery(bool openList) {
    auto* w = new QWidget;
    w->setWindowTitle("Gallery");
    w->setFixedSize(560, 300);
    Group(w, "按钮", 8, 6, 544, 62);
    Button(w, "正常", 20, 30, 80, 24);
    Button(w, "悬停", 110, 30, 80, 24);  // move the pointer here, e.g. xdotool mousemove 150 42
    Button(w, "按下", 200, 30, 80, 24)->setDown(true);
    Button(w, "禁用", 290, 30, 80, 24)->setEnabled(false);
    Button(w, "默认", 380, 30, 80, 24)->setDefault(true);
    Group(w, "编辑框", 8, 74, 544, 62);
    Edit(w, "正常", 20, 98, 120, 20);
    Edit(w, "只读", 150, 98, 120, 20)->setReadOnly(true);
    Edit(w, "禁用", 280, 98, 120, 20)->setEnabled(false);
    Edit(w, "", 410, 98, 120, 20)->setPlaceholderText(U("提示文字"));
    Group(w, "组合框", 8, 142, 544, 62);
    QComboBox* open = Combo(w, "淘宝小铺", 20, 166, 120, 20);
    auto* fixed = Place(w, 150, 166, 120, 20, new QComboBox);
    fixed->addItems({U("不可编辑"), U("第二项")});
    Combo(w, "禁用", 280, 166, 120, 20)->setEnabled(false);
    Label(w, "禁用的标签", 410, 168, 120, 16)->setEnabled(false);
    auto* group = Group(w, "禁用的分组框", 8, 210, 544, 80);
    group->setEnabled(false);
    if (openList) QTimer::singleShot(200, open, [open] { open->showPopup(); });
    return w;
}

void ShootAndQuit(const QString& file, QRect area) {
    QTimer::singleShot(2000, [file, area] {
        QScreen* screen = QGuiApplication::primaryScreen();
        const QPixmap shot = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
        const bool saved = shot.save(file);
        std::fprintf(stderr, "%s %s\n", saved ? "saved" : "could not save", qPrintable(file));
        std::fflush(stderr);
        std::_Exit(saved ? 0 : 1);
    });
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setFont(QFont("Noto Sans CJK SC", 9));
    const QStringList args = app.arguments();
    const QString which = args.value(1, "main");
    const bool plain = args.contains("--plain");
    const qsizetype shotAt = args.indexOf("--shot");
    const QString shot = shotAt > 0 ? args.value(shotAt + 1) : QString();

    // A fresh program directory, so the library written is this build's.
    QTemporaryDir programDirectory;
    SetProgramDirectoryForTesting(programDirectory.path().toStdString());
    if (!plain) {
        if (!args.contains("--no-aero")) EnableSkinAero();
        const qsizetype skinAt = args.indexOf("--skin");
        AttachSkin(skinAt > 0 ? args.value(skinAt + 1).toInt() : 10);
    }

    QWidget* window = nullptr;
    QRect area(0, 0, 900, 480);
    if (which == "login") window = LoginWindow(), area = QRect(0, 0, 395, 269);
    if (which == "main" || which == "menu") window = MainWindow(), area = QRect(0, 0, 852, 442);
    if (which == "editor") window = EditorWindow(), area = QRect(0, 0, 724, 373);
    if (which == "gallery" || which == "dropdown")
        window = Gallery(which == "dropdown"), area = QRect(0, 0, 560, 300);
    if (window != nullptr) {
        window->move(0, 0);
        window->show();
        window->activateWindow();
    }
    if (which == "menu") {
        auto* menu = new QMenu(window);
        for (const char* item : {"发货", "查看", "添加", "修改", "删除"}) menu->addAction(U(item));
        QTimer::singleShot(300, [menu] {
            menu->popup(QPoint(300, 230));
            menu->setActiveAction(menu->actions().at(1));
        });
    }
    // A message box opens centred on the screen.
    const bool box = which == "box" || which == "error";
    if (box) area = QGuiApplication::primaryScreen()->geometry();
    if (!shot.isEmpty()) ShootAndQuit(shot, area);
    if (box) {
        if (which == "box")
            ShowMessage(Gbk("确定提交吗？"), kMbYesNo);
        else
            ShowMessageBox(Gbk("运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件“SkinH_EL."
                               "dll”中的输出命令“SkinH_SetAero”\r\n"),
                           kMbIconError | kMbOk, Gbk("错误"));
        return 0;
    }
    return app.exec();
}
