#pragma once
// How the columns of a sheet become the fourteen texts of an order: a mapping
// read from a small text file (UTF-8), the same format for the presets
// installed beside the program (one file each: the marketplaces' exports and
// our own) and for a mapping the user saved under a name:
//
//   # 淘宝 订单报表
//   名称 淘宝
//   识别 订单编号 宝贝标题         the key columns a header must have
//   清理                            marketplace cells: ="…", tabs, padding
//   订单号 = 订单编号
//   收货信息 = 收货人姓名 + 联系手机|联系电话 + 收货地址
//   卖家账号 = "店铺甲"
//
// Each order column takes parts joined by a blank; a part is the first
// non-empty of its alternatives, each a column of the file or a fixed text in
// double quotes. An order column not named stays empty, and columns of the
// file no line names are left out. A column the file lacks counts as empty.
//
// With 清理 a text loses what a marketplace or a spreadsheet wraps around it,
// a date-time becomes 年-月-日 as the editor writes dates, and money goes by
// the exchange rules; without it every text is kept byte for byte.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/status.h"
#include "exchange/sheet_cell.h"
#include "store/ledger_schema.h"

struct MappingTerm {
    bool fixed = false;
    std::string text;  // the fixed text, or the file's column
};

// One order column: parts joined by a blank, each the first non-empty of its
// alternatives. No parts: the column stays empty.
using MappingParts = std::vector<std::vector<MappingTerm>>;

struct ImportMapping {
    std::string name;
    std::vector<std::string> keyColumns;
    bool clean = false;
    // By kOrderTextColumnNames.
    std::array<MappingParts, kOrderTextColumnCount> columns;

    // A mapping file's text; a line that is none of the above fails it, naming
    // the line.
    static Status Parse(std::string_view text, ImportMapping& mapping);
    // The text Parse reads back to the same mapping.
    std::string Text() const;
    // True when every key column is a cell of the header (texts cleaned).
    bool Recognises(const std::vector<std::string>& header) const;
};

// The mapping of a sheet that no mapping recognises: each header cell that
// names an order column goes to it, texts kept as they are.
ImportMapping MappingOfHeader(const std::vector<std::string>& header, std::string name);

// One order column's parts written as a mapping line's right side, and read.
std::string PartsText(const MappingParts& parts);
MappingParts PartsOfText(std::string_view text);

// The folder of the installed presets: ProgramDirectory()/import_presets.
std::string PresetFolder();
// Every *.txt of a folder, by file name; a file that does not parse is left
// out with its reason in problems (one line each).
std::vector<ImportMapping> LoadMappings(const std::string& folder, std::string& problems);
// The first mapping that recognises the header, or null.
const ImportMapping* RecognisedMapping(const std::vector<ImportMapping>& mappings,
                                       const std::vector<std::string>& header);
// The mapping of a name (a file's 名称), or null.
const ImportMapping* MappingNamed(const std::vector<ImportMapping>& mappings,
                                  const std::string& name);

// A row turned into an order: its fourteen texts (UTF-8, storage order), or
// the columns refused and why (Chinese: “订单号”列…；“售价”列…).
struct MappedRow {
    int number = 0;
    std::array<std::string, kOrderTextColumnCount> texts;
    std::string problem;
};

// A mapping tied to the cells of one header.
class BoundMapping {
  public:
    // account fills 卖家账号 where the mapping leaves it empty (a file that
    // does not name the shop).
    BoundMapping(const ImportMapping& mapping, const std::vector<std::string>& header,
                 std::string account = {});
    MappedRow Apply(int number, const std::vector<SheetCell>& cells) const;
    // The file's columns the mapping names that the header lacks.
    const std::vector<std::string>& Missing() const { return missing_; }

  private:
    struct Term {
        bool fixed = false;
        std::string text;
        std::optional<std::size_t> cell;
    };
    std::string Value(const Term& term, const std::vector<SheetCell>& cells, std::size_t column,
                      std::string& problem) const;

    bool clean_;
    std::string account_;
    std::array<std::vector<std::vector<Term>>, kOrderTextColumnCount> columns_;
    std::vector<std::string> missing_;
};

// A marketplace date-time as the editor writes a date ("2026-11-02 13:45:01"
// gives "2026-11-2"); any other text unchanged.
std::string DateOfDateTime(const std::string& text);

// The user's saved mappings: a folder 导入映射 beside the program, per user
// as config.ini is.
std::string SavedMappingFolder();
// Saves the mapping as <name>.txt in the folder, replacing one of that name;
// a name with a character a file name cannot hold is refused, and so is a
// preset's name (of presetFolder): the preset would be chosen by that name
// and on its header, and the saved mapping never.
Status SaveMapping(const ImportMapping& mapping, const std::string& folder,
                   const std::string& presetFolder);
