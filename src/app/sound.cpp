#include "app/sound.h"

#include "app/program.h"

#include <QFileInfo>

namespace spinlog {

void Sub_Sound(const Program &program)
{
    guarded(program.reporter, Procedure::Sound, [&] {
        const QString path = program.path(QStringLiteral("Sound.wav"));
        if (QFileInfo(path).isFile())
            program.seams.sound.play(path);
    });
}

}  // namespace spinlog
