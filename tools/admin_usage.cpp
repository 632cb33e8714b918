#include "tools/admin_usage.h"

#include <algorithm>
#include <string_view>

#ifndef TALLOVAR_VERSION
#define TALLOVAR_VERSION "0.1.0"
#endif

namespace {

const OptionHelp kConnect{
    "--connect", "STRING",
    "团队账本的 ODBC 连接字符串 / the ODBC connection string of a team ledger"};

// The commands that read a search's orders take the search's options and
// --connect after their own.
std::vector<AdminCommandHelp> WithSearchOptions(std::vector<AdminCommandHelp> commands) {
    for (AdminCommandHelp& command : commands) {
        if (std::string_view(command.name) != "export" && std::string_view(command.name) != "print")
            continue;
        const auto& search = SearchOptionHelp();
        command.options.insert(command.options.end(), search.begin(), search.end());
        command.options.push_back(kConnect);
    }
    return commands;
}

std::vector<AdminCommandHelp> MakeCommands() {
    return WithSearchOptions({
        {"init",
         {"USER PASSWORD [--demo N]", "--connect STRING USER PASSWORD",
          "--connect STRING --from FILE [USER PASSWORD]"},
         "在当前目录建立新账本 tallovar.mdb 和第一个用户 / create tallovar.mdb here with its "
         "first user",
         {{"--demo", "N", "另加 N 张演示订单（0 到 10000000）/ add N demo orders (0 to 10000000)"},
          kConnect,
          {"--from", "FILE",
           "把这个账本文件的订单和用户搬到团队账本 / move the orders and users of this ledger "
           "file to the team ledger"}},
         ""},
        {"user",
         {"add|passwd NAME [PASSWORD]", "remove NAME", "list"},
         "管理可以登录的用户（在账本目录中运行）；不给 PASSWORD 时从终端读入，不回显 / manage "
         "who can sign in (run in the ledger's directory); without PASSWORD it is read from the "
         "terminal, not shown",
         {kConnect},
         "add passwd remove list"},
        {"backup",
         {"[FILE] [--force]", "--daily", "[FILE] --connect STRING"},
         "账本的一致副本，程序打开时也可备份；默认 tallovar-日期-时间.mdb / a consistent copy of "
         "the ledger, also while the program runs; by default tallovar-DATE-TIME.mdb",
         {{"--force", nullptr,
           "覆盖已有的普通文件（账本除外）/ replace an existing regular file (never a ledger)"},
          {"--daily", nullptr,
           "每天一份放入 备份/，保留 7 份每日和 4 份每周的 / once a day into 备份/, keeping 7 "
           "daily and 4 weekly copies"},
          kConnect},
         ""},
        {"restore",
         {"FILE [--connect STRING]"},
         "检查备份后把它的内容写进账本，原账本先保存为 tallovar.mdb.replaced-时间 / check a "
         "backup and write it into the ledger, keeping the old one as "
         "tallovar.mdb.replaced-TIME",
         {kConnect},
         ""},
        {"export",
         {"[--xlsx | --gbk [--gb18030]] [--force] [--output FILE|-] [--seller X ...] "
          "[--waiting|--problem] [--connect STRING]"},
         "把订单导出为 Excel 工作簿或 CSV，条件同主窗口的查询；默认 CSV（UTF-8 带 BOM）/ orders "
         "as an Excel workbook or CSV, searched as in the main window; CSV in UTF-8 with a "
         "byte-order mark by default",
         {{"--xlsx", nullptr,
           "写 Excel 工作簿（文件名以 .xlsx 结尾时也是）/ write an Excel workbook (so does a "
           "FILE ending .xlsx)"},
          {"--gbk", nullptr, "CSV 用 GBK 编码 / CSV in GBK"},
          {"--gb18030", nullptr,
           "CSV 用 GB18030，允许 GBK 以外的字符 / CSV in GB18030, for characters GBK lacks"},
          {"--force", nullptr,
           "覆盖已有的普通文件（账本除外）/ replace an existing regular file (never a ledger)"},
          {"--output", "FILE", "写到 FILE；- 为标准输出 / write to FILE; - is standard output"}},
         ""},
        {"print",
         {"--form 订单列表|拿货单|发货单 [--paper a4|76x130] [--output FILE.pdf] [--force] "
          "[--seller X ...] [--waiting|--problem] [--connect STRING]"},
         "把订单印成 "
         "PDF：订单列表、拿货单（未发货订单按商品汇总）或发货单（带条码），条件同主窗口的"
         "查询；默认 tallovar-表单-日期-时间.pdf / the orders as a PDF: the order list, a picking "
         "list (unshipped orders by goods) or packing slips with barcodes, searched as in the main "
         "window; by default tallovar-FORM-DATE-TIME.pdf",
         {{"--form", "FORM", "订单列表、拿货单或发货单 / 订单列表, 拿货单 or 发货单"},
          {"--paper", "PAPER",
           "发货单的纸：a4（每页六张，默认）或 76x130（热敏标签，每页一张）/ the packing slips' "
           "paper: a4 (six a page, the default) or 76x130 (thermal labels, one a page)"},
          {"--output", "FILE", "写到 FILE / write to FILE"},
          {"--force", nullptr,
           "覆盖已有的普通文件（账本除外）/ replace an existing regular file (never a ledger)"}},
         ""},
        {"import",
         {"FILE.xlsx|FILE.csv [--skip-bad] [--ignore-unknown] [--allow-duplicates] "
          "[--connect STRING]",
          "FILE.xlsx|FILE.csv [--preset NAME|--mapping FILE] [--account NAME] [--dry-run] "
          "[--fill-waybills] [--connect STRING]"},
         "从 Excel/WPS/LibreOffice 保存的工作簿或 CSV 导入订单，全部成功或全部不导入 / orders "
         "from a workbook or CSV saved by Excel, WPS or LibreOffice, all or nothing",
         {{"--skip-bad", nullptr,
           "跳过有问题的行，导入其余行 / store the good rows, skip the refused ones"},
          {"--ignore-unknown", nullptr, "忽略不认识的列 / ignore columns with unknown headers"},
          {"--allow-duplicates", nullptr,
           "也导入与账本中已有订单完全相同的订单 / also store orders identical to one in the "
           "ledger"},
          {"--preset", "NAME",
           "按预设（淘宝、拼多多、抖店、本软件导出）或在窗口中保存的映射导入；平台导出的表格按"
           "表头自动识别 / map the columns by a preset or a saved mapping; a marketplace export "
           "is recognised by its header"},
          {"--mapping", "FILE", "按保存的导入映射文件导入 / map the columns by a saved mapping"},
          {"--account", "NAME",
           "表格中没有店铺名称时填入的卖家账号 / 卖家账号 for a file that names no shop"},
          {"--dry-run", nullptr,
           "只列出每行将如何导入，不导入 / preview every row with its verdict, store nothing"},
          {"--fill-waybills", nullptr,
           "订单号已存在且未发货时，补充表格中的快递公司和运单号 / an existing unshipped order "
           "gets the file's courier and waybill"},
          kConnect},
         ""},
        {"ship",
         {"FILE|- [--skip-bad] [--dry-run] [--connect STRING]"},
         "按运单号表批量发货：每行 订单号或购买订单号、运单号、快递公司（可省），或 .xlsx/.csv "
         "表格；先列出每行能否发货 / ship the orders of a list of waybills: lines of order or "
         "purchase order number, waybill and optionally courier, or an .xlsx/.csv sheet; each "
         "line is previewed first",
         {{"--skip-bad", nullptr,
           "只发可发货的行，列出跳过的行 / ship the ready lines, list the skipped ones"},
          {"--dry-run", nullptr, "只预览，不发货 / preview only, ship nothing"},
          kConnect},
         ""},
        {"upgrade",
         {""},
         "把旧账本升级到当前的表结构（先在旁边保存一份）/ bring an older ledger to the current "
         "schema (a copy is kept beside it first)",
         {},
         ""},
        {"trash",
         {"list", "restore N", "purge [--older-than DAYS]"},
         "回收站：列出、恢复（N 为 list 的第一列）或彻底删除已删除的订单 / the recycle bin: "
         "list, restore (N from the first column of list) or purge deleted orders",
         {{"--older-than", "DAYS",
           "只删除放入回收站超过 DAYS 天的 / only those in the bin for more than DAYS days"},
          kConnect},
         "list restore purge"},
        {"lists",
         {"show [LIST]", "add|remove LIST TEXT...", "set LIST [TEXT...]"},
         "查看或修改程序的选择列表，LIST 为 卖家账号 (seller) 或 快递公司 (express) / show or "
         "change the program's pick lists, LIST being 卖家账号 (seller) or 快递公司 (express)",
         {},
         "show add remove set"},
        {"setup",
         {"[FOLDER]"},
         "文件夹中还没有账本时，打开“新建账本”窗口 / open the window that makes the first ledger "
         "when FOLDER has none",
         {},
         ""},
        {"notice",
         {"TITLE TEXT"},
         "在桌面上显示一条警告，窗口保持在最前（启动脚本用）/ a warning on the desktop that "
         "stays above other windows (for the launcher)",
         {},
         ""},
        {"convert",
         {""},
         "把 Windows 的 Access 账本转换为 SQLite 账本，原文件改名保留 / turn an Access ledger "
         "(Windows) into an SQLite ledger, keeping the old file renamed",
         {},
         ""},
    });
}

const OptionHelp kHelpOption{"-h, --help", nullptr, "显示本说明 / show this help"};

std::string OptionColumn(const OptionHelp& option) {
    return std::string(option.name) + (option.value ? std::string(" ") + option.value : "");
}

// Roff takes "-" as a hyphen and a line starting with "." or "'" as a request.
std::string Roff(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\') {
            out += "\\e";
        } else if (c == '-') {
            out += "\\-";
        } else {
            out += c;
        }
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
    return out;
}

}  // namespace

const std::vector<OptionHelp>& SearchOptionHelp() {
    static const std::vector<OptionHelp> options = {
        {"--seller", "X", "卖家账号含 X / seller account contains X"},
        {"--order-no", "X", "订单号含 X / order number contains X"},
        {"--express", "X", "快递公司含 X / express company contains X"},
        {"--waybill", "X", "运单号含 X / waybill number contains X"},
        {"--goods", "X", "商品名称含 X / goods name contains X"},
        {"--purchase-account", "X", "购买账号含 X / purchase account contains X"},
        {"--purchase-order", "X", "购买订单号含 X / purchase order number contains X"},
        {"--delivery", "X", "收货信息含 X / delivery details contain X"},
        {"--remark", "X", "备注含 X / remark contains X"},
        {"--waiting", nullptr,
         "只要还没有快递公司和运单号的订单（等待收货）/ only orders without an express company "
         "and waybill"},
        {"--problem", nullptr,
         "只要备注含“问题”的订单（问题单）/ only orders whose remark holds 问题"},
    };
    return options;
}

const std::vector<AdminCommandHelp>& AdminCommands() {
    static const std::vector<AdminCommandHelp> commands = MakeCommands();
    return commands;
}

const AdminCommandHelp* FindAdminCommand(const std::string& name) {
    const auto& commands = AdminCommands();
    const auto found = std::find_if(commands.begin(), commands.end(),
                                    [&name](const AdminCommandHelp& c) { return c.name == name; });
    return found == commands.end() ? nullptr : &*found;
}

std::string AdminVersionLine() { return std::string("tallovar-admin ") + TALLOVAR_VERSION; }

void PrintAdminUsage(std::FILE* out) {
    std::fprintf(out,
                 "用法 / usage: tallovar-admin SUBCOMMAND ...\n"
                 "       tallovar-admin SUBCOMMAND --help\n"
                 "       tallovar-admin --version\n\n");
    for (const AdminCommandHelp& command : AdminCommands()) {
        for (const char* form : command.forms) {
            std::fprintf(out, "  %s %s\n", command.name, form);
        }
        std::fprintf(out, "      %s\n", command.summary);
    }
}

void PrintCommandUsage(const AdminCommandHelp& command, std::FILE* out) {
    const char* lead = "用法 / usage:";
    for (const char* form : command.forms) {
        std::fprintf(out, "%s tallovar-admin %s %s\n", lead, command.name, form);
        lead = "             ";
    }
    std::fprintf(out, "%s\n选项 / options:\n", command.summary);
    std::vector<OptionHelp> options = command.options;
    options.push_back(kHelpOption);
    for (const OptionHelp& option : options) {
        std::fprintf(out, "  %-22s %s\n", OptionColumn(option).c_str(), option.help);
    }
    std::fprintf(out, "  %-22s %s\n", "--",
                 "其后的参数都不是选项 / what follows is no option, even if it starts with -");
}

std::string ManualCommandsSection() {
    std::string page = ".SH COMMANDS\n";
    for (const AdminCommandHelp& command : AdminCommands()) {
        for (std::size_t i = 0; i < command.forms.size(); ++i) {
            page += i == 0 ? ".TP\n" : ".TQ\n";
            page += "\\fB" + Roff(command.name) + "\\fR";
            if (*command.forms[i]) page += " " + Roff(command.forms[i]);
            page += "\n";
        }
        page += Roff(command.summary) + "\n";
        if (!command.options.empty()) page += ".RS\n";
        for (const OptionHelp& option : command.options) {
            page += ".TP\n\\fB" + Roff(option.name) + "\\fR";
            if (option.value) page += " \\fI" + Roff(option.value) + "\\fR";
            page += "\n" + Roff(option.help) + "\n";
        }
        if (!command.options.empty()) page += ".RE\n";
    }
    page +=
        ".PP\nEvery command takes\n.BR \\-h \" and \" \\-\\-help\n"
        "and shows its usage; an argument after\n.B \\-\\-\nis never an option.\n";
    return page;
}

std::string BashCompletion() {
    std::string names;
    std::string cases;
    for (const AdminCommandHelp& command : AdminCommands()) {
        names += std::string(command.name) + " ";
        std::string options = "--help";
        for (const OptionHelp& option : command.options) options += std::string(" ") + option.name;
        cases += std::string("        ") + command.name + ") options='" + options + "' words='" +
                 command.words + "' ;;\n";
    }
    return "# bash completion for tallovar-admin\n"
           "_tallovar_admin() {\n"
           "    local current=${COMP_WORDS[COMP_CWORD]}\n"
           "    if [ \"$COMP_CWORD\" -eq 1 ]; then\n"
           "        COMPREPLY=($(compgen -W '" +
           names +
           "--help --version' -- \"$current\"))\n"
           "        return\n"
           "    fi\n"
           "    local options='' words=''\n"
           "    case ${COMP_WORDS[1]} in\n" +
           cases +
           "    esac\n"
           "    if [[ $current == -* ]]; then\n"
           "        COMPREPLY=($(compgen -W \"$options\" -- \"$current\"))\n"
           "    elif [ \"$COMP_CWORD\" -eq 2 ] && [ -n \"$words\" ]; then\n"
           "        COMPREPLY=($(compgen -W \"$words\" -- \"$current\"))\n"
           "    else\n"
           "        COMPREPLY=($(compgen -f -- \"$current\"))\n"
           "    fi\n"
           "}\n"
           "complete -o filenames -F _tallovar_admin tallovar-admin\n";
}
