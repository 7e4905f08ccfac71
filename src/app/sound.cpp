#include "app/sound.h"

#include "app/program.h"

#include <QFileInfo>

namespace spinlog {

void Sub_Sound(const Program &program, const QString &fileName)
{
    guarded(program.reporter, Procedure::Sound, [&] {
        const QString path = program.path(fileName);
        if (QFileInfo(path).isFile())
            program.seams.sound.play(path);
    });
}

}  // namespace spinlog
