#include "app/room_plan.h"

#include "app/dispatcher.h"
#include "app/plan_window.h"
#include "core/building/room_project.h"
#include "core/project/project_file.h"
#include "core/ui/kvx1.h"
#include "core/ui/main_window.h"

#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace kvx::app {

namespace {

// The room's own program state, owned by its plan window.
class RoomModel : public QObject {
public:
    explicit RoomModel(const Kvx1& program)
        : kvx(program.platform, ProgramFolders{program.programFolder, program.installed},
              program.locale, program.strings) {
        // Settings are read from a copy: whatever the model keeps goes there.
        const QString ini = folder.filePath(QStringLiteral("Kvx.ini"));
        QFile::copy(program.iniPath(), ini);
        kvx.iniFileOverride = ini;
    }

    QTemporaryDir folder;
    Kvx1 kvx;
    std::unique_ptr<FrmKvx> window;
};

} // namespace

PlanWindow* openRoomPlan(const Kvx1& kvx, Dispatcher& dispatcher, const Room& room,
                         const Zone& zone, const QString& typeText) {
    auto model = std::make_unique<RoomModel>(kvx);
    const QString project = model->folder.filePath(QStringLiteral("room.kvx"));
    bool loaded = dispatcher.run([&] {
        const RoomProject p = projectOfRoom(room, zone, typeText, kvx.locale);
        writeProjectFile(project, p.fields, p.settings, kvx.localTexts());
        model->window = std::make_unique<FrmKvx>(model->kvx);
        model->window->Form_Load(project);
        model->window->cmdCalc_Click();
    });
    if (!loaded || !model->window)
        return nullptr;
    auto* plan = new PlanWindow(*model->window, dispatcher);
    plan->setAttribute(Qt::WA_DeleteOnClose);
    plan->setWindowTitle(room.name);
    // Deleted with the plan window, after its destructor has let go of the model.
    model.release()->setParent(plan);
    plan->show();
    return plan;
}

} // namespace kvx::app
