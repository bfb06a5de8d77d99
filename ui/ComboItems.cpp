#include "ui/ComboItems.h"

#include "fw/Application.h"

#include <QComboBox>

#include <array>

namespace ComboItems {

namespace {
constexpr int FirstCodePageName = 207;
constexpr std::array<quint32, 4> CodePages = {1250, 1251, 1255, 1256};
} // namespace

int addSorted(QComboBox* combo, const QString& text, const QVariant& data)
{
    int position = 0;
    while (position < combo->count() && QString::compare(combo->itemText(position), text, Qt::CaseInsensitive) <= 0)
        ++position;
    combo->insertItem(position, text, data);
    return position;
}

int findData(const QComboBox* combo, int value)
{
    for (int i = 0; i < combo->count(); ++i) {
        if (combo->itemData(i).toInt() == value)
            return i;
    }
    return -1;
}

int currentData(const QComboBox* combo)
{
    return combo->currentIndex() < 0 ? -1 : combo->itemData(combo->currentIndex()).toInt();
}

void fillCodePages(QComboBox* combo, quint32 codePage)
{
    combo->clear();
    const fw::StringTable& strings = fw::Application::get().strings();
    for (int k = 0; k < int(CodePages.size()); ++k)
        addSorted(combo, strings.text(FirstCodePageName + k), k);
    const QString number = QString::number(codePage);
    int selected = 0;
    for (int i = 0; i < combo->count(); ++i) {
        if (combo->itemText(i).contains(number)) {
            selected = i;
            break;
        }
    }
    combo->setCurrentIndex(selected);
    combo->setEnabled(false);
}

quint32 codePageOf(int itemData)
{
    return itemData >= 0 && itemData < int(CodePages.size()) ? CodePages[std::size_t(itemData)] : 0;
}

} // namespace ComboItems
