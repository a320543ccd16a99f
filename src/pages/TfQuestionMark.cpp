#include "pages/TfQuestionMark.h"

#include "link/ReplyParsers.h"
#include "platform/Dialogs.h"
#include "platform/IniFile.h"
#include "platform/ProgramDir.h"
#include "texts/Labels.h"

#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

TfQuestionMark::TfQuestionMark(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfQuestionMark"));
    setWindowTitle(QStringLiteral("Help"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);

    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setRootIsDecorated(false);
    ListView1->setColumnCount(2);
    ListView1->setHeaderHidden(true);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setColumnWidth(0, 100);
    ListView1->setColumnWidth(1, 400);
    ListView1->setGeometry(8, 8, 539 - 16, 440 - 56);

    sbCancel = new QPushButton(QStringLiteral("OK"), this);
    sbCancel->setObjectName(QStringLiteral("sbCancel"));
    sbCancel->setDefault(true);
    sbCancel->setGeometry((539 - 100) / 2, 440 - 38, 100, 27);
    connect(sbCancel, &QPushButton::clicked, this, [this] { sbCancelClick(); });

    setFixedSize(539, 440);
}

QString TfQuestionMark::listFile(int kind)
{
    return programFile(kind == CausesToIsdn ? QStringLiteral("causes_to_isdn.ini")
                                            : QStringLiteral("numbering_plan.ini"));
}

void TfQuestionMark::showHelpList(int kind)
{
    if (!fQuestionMark || !QFile::exists(listFile(kind)))
        return;
    fQuestionMark->setWindowTitle(TextOrFallback(labelText(870), QStringLiteral("Help")));
    fQuestionMark->setListKind(kind);
    ShowModal(fQuestionMark);
}

void TfQuestionMark::showEvent(QShowEvent* event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TfQuestionMark::FormShow()
{
    const IniFile ini(listFile(listKind));
    ListView1->clear();
    const QString main = QStringLiteral("main");
    for (const QString& key : ini.ReadSection(main)) {
        auto* item = new QTreeWidgetItem(ListView1);
        item->setText(0, key);
        item->setText(1, ini.ReadString(main, key, QString()));
    }
}

void TfQuestionMark::sbCancelClick()
{
    // The window shows a list and returns nothing; its opener ignores the result.
    accept();
}
