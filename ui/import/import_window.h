#pragma once
// "从表格导入": orders from a sheet (.xlsx or .csv) through a column mapping.
// The user chooses the file; a preset recognised by its header, or one the
// user picks or saved, fills the mapping page, where every order column takes
// a column of the file, several joined ("a + b"), a fixed text in quotes or
// nothing, and can be saved under a name. 预览 shows every row as it would be
// stored with its verdict (store/order_import.h); 导入 stores the new orders
// (and with 补充运单号 ships existing unshipped ones) in one transaction.
// Modeless, with its own connection; the main window's list changes at the
// user's next search.

#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "exchange/import_mapping.h"
#include "exchange/mapped_sheet.h"
#include "store/database.h"
#include "store/order_import.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

class ImportWindow : public QWidget {
    Q_OBJECT

  public:
    ImportWindow();
    ~ImportWindow() override;

  private:
    void ChooseFileClicked();
    void MappingChosen(int index);
    void SaveMappingClicked();
    // False after telling the user why there is nothing to show.
    bool PreviewClicked();
    void ImportClicked();
    void LoadMappings(const std::string& select);
    void ShowMapping(const ImportMapping& mapping);
    ImportMapping MappingOnPage() const;
    bool Connected();

    DatabaseConnection 外部数据库1;
    std::vector<ImportMapping> mappings_;  // presets, then the saved ones
    std::string path_;                     // UTF-8
    SheetHeader header_;
    ImportMapping base_;  // the mapping the page started from
    std::vector<ImportOrder> orders_;
    std::vector<ImportJudgement> judgements_;

    QLineEdit* 文件;
    QPushButton* 选择文件按钮;
    QComboBox* 映射;
    QComboBox* 卖家账号;
    QTableWidget* 映射表;
    QLineEdit* 映射名称;
    QPushButton* 保存映射按钮;
    QCheckBox* 补充运单号;
    QPushButton* 预览按钮;
    QTableWidget* 预览列表;
    QLabel* 统计标签;
    QPushButton* 导入按钮;
};

// Opens the window, or brings the open one to the front.
void OpenImportWindow();
