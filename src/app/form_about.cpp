#include "app/form_about.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

// The texts are compiled into this static library; registering them by hand keeps the linker
// from dropping them from programs that use the window.
static void RegisterLicenceTexts() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(licenses);
#ifdef _WIN32
        Q_INIT_RESOURCE(windows_notices);
#endif
        return true;
    }();
    (void)registered;
}

namespace vrx {

namespace {

// The program's licence first, then the libraries, then the licence texts they refer to. A
// Windows program also contains, linked statically, what Qt builds in and the compiler's
// runtime: Debian's notices of their sources come from the build machine.
constexpr const char* kNotices[] = {"LICENSE",           "Qt.txt",
                                    "tomlplusplus.txt",  "CLI11.txt",
                                    "nlohmann-json.txt", "pybind11.txt",
#ifdef _WIN32
                                    "Qt-copyright.txt",  "MinGW-w64-runtime.txt",
                                    "GCC-runtime.txt",
#endif
                                    "LGPL-3.0.txt",      "GPL-3.0.txt"};

#ifdef _WIN32
constexpr const char* kStaticParts =
    " This Windows program also contains the libraries built into Qt (FreeType, HarfBuzz, "
    "libpng, zlib, PCRE2 and others) and the MinGW-w64 and GCC runtimes; Debian's notices of "
    "their sources follow too.";
#else
constexpr const char* kStaticParts = "";
#endif

} // namespace

QString TFormAbout::NoticesText() {
    RegisterLicenceTexts();
    QString text;
    for (const char* name : kNotices) {
        QFile file(QStringLiteral(":/licenses/") + QLatin1String(name));
        if (file.open(QIODevice::ReadOnly)) {
            text += QString::fromUtf8(file.readAll()) + QStringLiteral("\n\n");
        }
    }
    return text;
}

TFormAbout::TFormAbout(const QString& version, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FormAbout"));
    setWindowTitle(QStringLiteral("About VRX630 Evaluation Kit"));
    auto* layout = new QVBoxLayout(this);
    auto* title =
        new QLabel(QStringLiteral("<b>VRX630 Evaluation Kit</b> version %1").arg(version), this);
    title->setObjectName(QStringLiteral("LblAboutTitle"));
    layout->addWidget(title);
    auto* summary = new QLabel(
        QStringLiteral("Free software under the MIT licence. It uses Qt under the LGPL version "
                       "3, toml++, CLI11, nlohmann/json and pybind11; their notices follow.") +
            QLatin1String(kStaticParts),
        this);
    summary->setObjectName(QStringLiteral("LblAboutLicence"));
    summary->setWordWrap(true);
    layout->addWidget(summary);
    auto* notices = new QTextBrowser(this);
    notices->setObjectName(QStringLiteral("MemoNotices"));
    notices->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    notices->setLineWrapMode(QTextEdit::NoWrap);
    notices->setPlainText(NoticesText());
    // Wide enough for the licence texts' lines, which run to about 80 characters.
    notices->setMinimumSize(notices->fontMetrics().horizontalAdvance(QString(84, QLatin1Char('M'))),
                            notices->fontMetrics().lineSpacing() * 24);
    layout->addWidget(notices, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("BtnAboutOk"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

} // namespace vrx
