#include "PortHelp.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include <cstdlib>

#include "PortInfo.h"
#include "Platform.h"
#include "QtTexts.h"

namespace tovrel::ui {

namespace {

// Where port n is COM<n>, as the program's device link is given it.
std::string PortDir() {
    const char* dir = std::getenv("TOVREL_PORT_DIR");
    return dir ? dir : "";
}

// Short enough for a column; the tooltip carries the whole summary.
QString Description(const PortInfo& info) {
    const QString path = QString::fromStdString(info.path);
    switch (info.access) {
        case PortAccess::Usable:
            return info.device.empty() ? path : path + " (" + QString::fromStdString(info.device) + ")";
        case PortAccess::NoPermission: return QTr(UiText::PortNoPermission).arg(path);
        case PortAccess::Unusable: return QTr(UiText::PortUnusable).arg(path);
        case PortAccess::Missing:
            if (info.path.rfind(platform::kUnassignedPortPrefix, 0) == 0) return QTr(UiText::PortUnassigned);
            return QTr(UiText::PortMissing).arg(path);
        case PortAccess::NoPath: break;
    }
    return QTr(UiText::PortTooHigh);
}

constexpr int kNumberColumn = 36;

class PortDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        const QString text = index.data(kPortDescriptionRole).toString();
        if (text.isEmpty()) return;
        painter->save();
        const bool selected = option.state & QStyle::State_Selected;
        painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::PlaceholderText));
        const QRect r = option.rect.adjusted(kNumberColumn, 0, -4, 0);
        painter->drawText(r, Qt::AlignVCenter | Qt::AlignLeft,
                          option.fontMetrics.elidedText(text, Qt::ElideRight, r.width()));
        painter->restore();
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        const QString text = index.data(kPortDescriptionRole).toString();
        s.setWidth(kNumberColumn + option.fontMetrics.horizontalAdvance(text) + 8);
        return s;
    }
};

class PortHelpFilter : public QObject {
public:
    explicit PortHelpFilter(QComboBox* box) : QObject(box), box_(box) {}
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Show) RefreshPortHelp(box_);
        return false;
    }

private:
    QComboBox* box_;
};

void DescribeTyped(QComboBox* box, const QString& text) {
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    box->setToolTip(ok && n > 0 ? QString::fromStdString(PortSummary(DescribePort(n, PortDir()))) : QString());
}

}  // namespace

QString PortDescription(int number) { return Description(DescribePort(number, PortDir())); }

void RefreshPortHelp(QComboBox* box) {
    int widest = 0;
    const QFontMetrics metrics(box->view()->font());
    for (const auto& info : DescribePorts(PortDir())) {
        const int row = box->findText(QString::number(info.number), Qt::MatchExactly);
        if (row < 0) continue;
        const QString text = Description(info);
        box->setItemData(row, text, kPortDescriptionRole);
        box->setItemData(row, QString::fromStdString(PortSummary(info)), Qt::ToolTipRole);
        widest = std::max(widest, metrics.horizontalAdvance(text));
    }
    // The list is wider than the box so that the second column fits.
    box->view()->setMinimumWidth(std::min(kNumberColumn + widest + 28, 640));
    DescribeTyped(box, box->currentText());
}

void AttachPortHelp(QComboBox* box) {
    box->view()->setItemDelegate(new PortDelegate(box->view()));
    box->view()->installEventFilter(new PortHelpFilter(box));
    QObject::connect(box, &QComboBox::currentTextChanged, box, [box](const QString& t) { DescribeTyped(box, t); });
    RefreshPortHelp(box);
}

}  // namespace tovrel::ui
