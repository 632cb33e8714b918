#pragma once
// "批量发货": many waiting orders shipped at once. Lines of (order number or
// purchase order number, waybill, courier) are pasted, typed by a barcode
// scanner or read from a supplier's sheet; the preview matches each line as
// it arrives (a scanner's Enter at once; a line that cannot ship beeps) and
// 全部发货 ships every ready line in one transaction, all or nothing
// (store/ship_batch.h). Modeless, with its own connection; the main window's
// list changes at the user's next search, as after any ship.

#include <QTimer>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "exchange/courier_table.h"
#include "exchange/ship_lines.h"
#include "store/database.h"
#include "store/ship_batch.h"

namespace Ui {
class ShipWindow;
}

class ShipWindow : public QWidget {
    Q_OBJECT

  public:
    ShipWindow();
    ~ShipWindow() override;

  private:
    void TextChanged();
    // Judges the lines of the text area anew. withLast: also a last line not
    // yet ended by Enter. A line newly judged that cannot ship beeps.
    void Refresh(bool withLast);
    void ReadSheetClicked();
    void ShipAllClicked();
    void CourierChosen(int row, const std::string& courier);
    // Connects when not connected; false after telling the user.
    bool Connected();

    const std::unique_ptr<Ui::ShipWindow> ui_;
    DatabaseConnection 外部数据库1;
    CourierTable couriers_;
    std::vector<std::string> pickList_;  // UTF-8
    std::string rulesProblem_;           // why couriers are not guessed, if so
    ShipOrderIndex index_;               // orders found so far by key
    // Couriers the user chose in the preview, by key and waybill (UTF-8).
    std::map<std::pair<std::string, std::string>, std::string> chosen_;
    std::vector<WaybillLine> given_;
    std::vector<ShipLine> lines_;
    std::vector<ShipMatch> matches_;
    std::vector<std::vector<std::string>> candidates_;
    std::size_t judged_ = 0;  // lines judged before, for telling the new ones
    std::string judgedText_;  // the text they were judged from
    QTimer lastLineTimer_;    // judges a last line left without Enter
};

// Opens the window, or brings the open one to the front.
void OpenShipWindow();

// Tests count the beeps of lines that cannot ship; an empty function
// restores the sound.
void SetShipBeepForTesting(std::function<void()> beep);
