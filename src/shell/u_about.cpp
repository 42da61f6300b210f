#include "shell/u_about.h"

#include "data/program_folder.h"
#include "shell/toolbar_icons.h"

#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace lumaro {

Tfrmabout::Tfrmabout(const ProgramFolder &folder, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmabout"));
    setWindowTitle(QStringLiteral("关于本程序"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("imgabout"));
    picture->setPixmap(ProgramIcon().pixmap(96, 96));
    picture->setAlignment(Qt::AlignTop);

    auto *headline = new QLabel(QStringLiteral("Lumaro12.0版"), this);
    headline->setObjectName(QStringLiteral("lblversion"));
    QFont font = headline->font();
    font.setPixelSize(20);
    font.setBold(true);
    font.setItalic(true);
    headline->setFont(font);
    headline->setStyleSheet(QStringLiteral("color: rgb(220, 0, 0);"));

    QString text;
    QFile file(folder.auxiliaryFolder() + QStringLiteral("about.txt"));
    if (file.open(QIODevice::ReadOnly))
        text = QString::fromUtf8(file.readAll()).trimmed();
    auto *lines = new QLabel(text, this);
    lines->setObjectName(QStringLiteral("lblabout"));
    lines->setWordWrap(true);

    auto *close = new QPushButton(QStringLiteral("关闭"), this);
    close->setObjectName(QStringLiteral("btnclose"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto *textColumn = new QVBoxLayout;
    textColumn->addWidget(headline);
    textColumn->addWidget(lines);
    textColumn->addStretch();
    auto *top = new QHBoxLayout;
    top->addWidget(picture);
    top->addSpacing(12);
    top->addLayout(textColumn, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    setFixedSize(380, 200);
}

} // namespace lumaro
