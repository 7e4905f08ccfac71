#include "app/program.h"

#include "data/record_stores.h"
#include "session/solve_session.h"

namespace spinlog {

Program::Program(Seams s)
    : seams(s),
      settings(s.app.folder() + QStringLiteral("/Spinlog.ini")),
      log(s.app.folder(), s.clock, s.prompts),
      reporter(s.prompts, log)
{
}

Program::~Program() = default;

}  // namespace spinlog
