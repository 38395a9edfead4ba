#include "UsbCardList.h"

#include "EzUsb.h"
#include "NumberText.h"

#include <QLineEdit>
#include <QRadioButton>

namespace gyro {

namespace {

void clearRow(const UsbCardRow& row)
{
    if (row.type != nullptr)
        row.type->setText(QStringLiteral("None"));
    row.option->setEnabled(false);
    row.descriptor0->clear();
    if (row.descriptor1 != nullptr)
        row.descriptor1->clear();
    row.revision->clear();
    row.speed->clear();
}

void showCard(const UsbCardRow& row, const UsbBoardInfo& board)
{
    if (row.type != nullptr)
        row.type->setText(UsbCardTypeText(board));
    row.option->setEnabled(true);
    row.descriptor0->setText(board.Descriptor1);
    if (row.descriptor1 != nullptr)
        row.descriptor1->setText(board.Descriptor2);
    row.revision->setText(FormatNumber(board.FirmwareRevision, QStringLiteral("0.0")));
    // "1.1" stays 1.1, "2" shows as 2.0.
    row.speed->setText(FormatNumber(LeadingNumber(board.UsbVersion), QStringLiteral("0.0")));
}

} // namespace

QString UsbCardTypeText(const UsbBoardInfo& board)
{
    return board.BoardType + QStringLiteral(" - ") + QString::number(board.BoardByte);
}

void SearchUsbCards(GyroState& g, const UsbCardRows& rows, const std::function<void(int)>& select)
{
    for (const UsbCardRow& row : rows)
        clearRow(row);
    TellIfFailed(g.ui, FindUsbBoards(g));
    for (int k = 0; k < 4; ++k) {
        const UsbBoardInfo& board = g.UsbBoards[static_cast<std::size_t>(k)];
        if (!board.Present)
            continue;
        showCard(rows[static_cast<std::size_t>(k)], board);
        if (k == g.UsbBoardIndex)
            select(k);
    }
    if (g.UsbBoardIndex == -1)
        select(4);
}

void ShowUsbCards(const UsbCardRecords& cards, const UsbCardRows& rows)
{
    for (std::size_t k = 0; k < rows.size(); ++k) {
        if (cards.UsbBoards[k].Present)
            showCard(rows[k], cards.UsbBoards[k]);
        else
            clearRow(rows[k]);
    }
}

} // namespace gyro
