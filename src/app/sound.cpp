#include "app/sound.h"

#include "app/errors.h"
#include "app/program.h"

#include <QFileInfo>

namespace spinlog {

void Sub_Sound(const Program &program)
{
    try {
        const QString path = program.path(QStringLiteral("Sound.wav"));
        if (!QFileInfo(path).isFile())
            return;
        program.services.sound.play(path);
    } catch (const SpinlogError &e) {
        program.reportError(QStringLiteral("サウンド再生エラー"),
                            QStringLiteral("[mdlMain]-[Sub_Sound] "), e.description());
    }
}

}  // namespace spinlog
