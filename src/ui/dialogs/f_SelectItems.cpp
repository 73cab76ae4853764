#include "ui/dialogs/f_SelectItems.h"

#include "catalog/dm_ListObjects.h"
#include "base/TextCompare.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

QPointer<TFormSelectItems> FormSelectItems;

namespace {

// Typed letters within this many milliseconds of each other form one search
// for an item by the beginning of its text.
constexpr qint64 TypeAheadDelay = 1000;

// The check list: a list view whose type-ahead search joins the letters
// typed within TypeAheadDelay and compares without regard to letter case.
class TCheckListBox : public QListView
{
public:
    using QListView::QListView;

    void keyboardSearch(const QString &search) override
    {
        if (search.isEmpty()) {
            m_Search.clear();
            return;
        }
        if (!m_LastKey.isValid() || m_LastKey.elapsed() > TypeAheadDelay)
            m_Search.clear();
        m_LastKey.restart();
        m_Search += search;
        const int count = model() ? model()->rowCount() : 0;
        for (int row = 0; row < count; ++row) {
            const QModelIndex index = model()->index(row, 0);
            const QString text = index.data().toString();
            if (SameText(QStringView(text).left(m_Search.size()), m_Search)) {
                setCurrentIndex(index);
                scrollTo(index);
                return;
            }
        }
    }

private:
    QString m_Search;
    QElapsedTimer m_LastKey;
};

// A context menu item that runs an action and shows its caption and shortcut.
QAction *MenuItemFor(QAction *action, const QString &name, QMenu *menu)
{
    auto *item = new QAction(action->text() + QLatin1Char('\t')
                                 + action->shortcut().toString(QKeySequence::NativeText),
                             menu);
    item->setObjectName(name);
    QObject::connect(item, &QAction::triggered, action, &QAction::trigger);
    menu->addAction(item);
    return item;
}

} // namespace

TFormSelectItems::TFormSelectItems(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FormSelectItems"));
    setWindowTitle(QStringLiteral("Выбор используемых сооружений"));
    resize(426, 286);

    CheckListBox1 = new TCheckListBox(this);
    CheckListBox1->setObjectName(QStringLiteral("CheckListBox1"));
    CheckListBox1->setUniformItemSizes(true);
    CheckListBox1->setModel(&m_Items);
    CheckListBox1->setContextMenuPolicy(Qt::CustomContextMenu);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(41);
    BtnOk = new QPushButton(QStringLiteral("OK"), Panel1);
    BtnOk->setObjectName(QStringLiteral("BtnOk"));
    BtnOk->setFixedSize(75, 25);
    BtnOk->setDefault(true);
    BtnCancel = new QPushButton(QStringLiteral("Cancel"), Panel1);
    BtnCancel->setObjectName(QStringLiteral("BtnCancel"));
    BtnCancel->setFixedSize(75, 25);
    BtnCancel->setAutoDefault(false);

    // The buttons keep their distance from the top right corner of the panel.
    auto *buttons = new QHBoxLayout(Panel1);
    buttons->setContentsMargins(0, 8, 8, 8);
    buttons->setSpacing(6);
    buttons->addStretch(1);
    buttons->addWidget(BtnOk, 0, Qt::AlignTop);
    buttons->addWidget(BtnCancel, 0, Qt::AlignTop);

    // The list keeps 8 pixels from the left, top and right edges; the button
    // strip spans the whole width.
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *listLayout = new QVBoxLayout;
    listLayout->setContentsMargins(8, 8, 8, 0);
    listLayout->addWidget(CheckListBox1);
    layout->addLayout(listLayout, 1);
    layout->addWidget(Panel1);

    actSelectAll = new QAction(QStringLiteral("Выделить все"), this);
    actSelectAll->setObjectName(QStringLiteral("actSelectAll"));
    actSelectAll->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    actUnSelectAll = new QAction(QStringLiteral("Снять выделение"), this);
    actUnSelectAll->setObjectName(QStringLiteral("actUnSelectAll"));
    actUnSelectAll->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A));
    actInvers = new QAction(QStringLiteral("Инверсия"), this);
    actInvers->setObjectName(QStringLiteral("actInvers"));
    actInvers->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    addActions({actSelectAll, actUnSelectAll, actInvers});

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    MenuItemFor(actInvers, QStringLiteral("pmiInvers"), PopupMenu1);
    MenuItemFor(actSelectAll, QStringLiteral("pmiSelectAll"), PopupMenu1);
    MenuItemFor(actUnSelectAll, QStringLiteral("pmiUnSelectAll"), PopupMenu1);

    connect(BtnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(actSelectAll, &QAction::triggered, this, &TFormSelectItems::actSelectAllExecute);
    connect(actUnSelectAll, &QAction::triggered, this, &TFormSelectItems::actUnSelectAllExecute);
    connect(actInvers, &QAction::triggered, this, &TFormSelectItems::actInversExecute);
    connect(CheckListBox1, &QWidget::customContextMenuRequested, this,
            &TFormSelectItems::CheckListBox1ContextMenu);
}

void TFormSelectItems::FillFromCatalog(const TdmListObj &catalog)
{
    m_Items.FillFromCatalog(catalog);
}

void TFormSelectItems::SetChecks(TCheckMode mode)
{
    m_Items.SetChecks(mode);
}

void TFormSelectItems::CheckByText(QStringView text)
{
    m_Items.CheckByText(text);
}

int TFormSelectItems::Count() const
{
    return m_Items.Items().Count();
}

QString TFormSelectItems::ItemText(int position) const
{
    return m_Items.Items().Item(position).Entry.Text;
}

qint32 TFormSelectItems::ItemData(int position) const
{
    return m_Items.Items().Item(position).Entry.CatalogIndex;
}

bool TFormSelectItems::ItemChecked(int position) const
{
    return m_Items.Items().Item(position).Checked;
}

QList<TAvBuildingEntry> TFormSelectItems::CheckedEntries() const
{
    return m_Items.Items().CheckedEntries();
}

void TFormSelectItems::showEvent(QShowEvent *event)
{
    // FormShow: the check list takes the keyboard focus.
    QDialog::showEvent(event);
    CheckListBox1->setFocus(Qt::OtherFocusReason);
    if (!CheckListBox1->currentIndex().isValid() && m_Items.rowCount() > 0)
        CheckListBox1->selectionModel()->setCurrentIndex(m_Items.index(0), QItemSelectionModel::NoUpdate);
}

void TFormSelectItems::actSelectAllExecute()
{
    SetChecks(TCheckMode::cmCheckAll);
}

void TFormSelectItems::actUnSelectAllExecute()
{
    SetChecks(TCheckMode::cmUncheckAll);
}

void TFormSelectItems::actInversExecute()
{
    SetChecks(TCheckMode::cmInvert);
}

void TFormSelectItems::CheckListBox1ContextMenu(const QPoint &pos)
{
    PopupMenu1->popup(CheckListBox1->viewport()->mapToGlobal(pos));
}

TFormSelectItems &UseFormSelectItems(QWidget *owner)
{
    if (!FormSelectItems) {
        QWidget *window = owner ? owner->window() : nullptr;
        FormSelectItems = new TFormSelectItems(window);
        if (!window)
            QObject::connect(qApp, &QCoreApplication::aboutToQuit, FormSelectItems.data(),
                             &QObject::deleteLater);
    }
    return *FormSelectItems;
}
