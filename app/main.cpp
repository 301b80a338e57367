#include "core/experiment.h"
#include "core/randomcard.h"
#include "ui/common/effectsounddevice.h"
#include "ui/common/fonts.h"
#include "ui/main/programwindows.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tavelk"));
    Fonts::installSubstitutions();

    EffectSoundDevice sound;
    SystemClock clock;
    ProgramWindows windows(Module1::instance(), sound, clock);
    windows.showMainWindow();
    return QApplication::exec();
}
