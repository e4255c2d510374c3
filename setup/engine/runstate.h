// The run state one install phase works on: the setup list, the install context, the mode and
// the lists of Parts that the wizard and the log feed in, and what the phase leaves behind.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "common/setuplist.h"
#include "setup/engine/context.h"
#include "setup/engine/copyfailure.h"
#include "setup/engine/lists.h"
#include "setup/engine/written.h"

namespace qp {

struct RunState {
    const SetupList* list = nullptr;
    InstallContext ctx;
    RunMode mode = RunMode::FirstInstall;
    std::size_t language_position = 0;  // which value of each string is shown
    std::int32_t language_index = 0;    // language-table index: which character of a group's mask
    std::string product_name;           // the text of "PRODUCT_NAME"
    std::string user_name, user_company;  // entered on the user-information page

    std::vector<std::string> selected;  // component paths the wizard has selected
    std::vector<std::string> earlier_components;
    std::vector<std::string> earlier_groups;
    std::vector<std::string> installed_groups;
    std::vector<std::string> chosen_components;
    std::vector<const ComponentRecord*> install_list, remove_list;

    // The earlier version's setup list (the information folder's copy) in an upgrade; null
    // when it could not be read.
    const SetupList* earlier_list = nullptr;
    std::string earlier_program_folder;
    // What the product wrote, from the record of earlier runs and this one. Without a record
    // (a product installed by an older runtime) removal deletes every target, as it always did.
    bool have_record = false;
    WrittenRecord record;
    // Run from a one-file kit: what goes into the information folder in place of copies of the
    // program and of a setup.lst beside it.
    bool one_file = false;
    std::vector<std::uint8_t> plain_runtime, list_bytes;

    bool abort = false;
    bool failed = false;  // the log or the record could not be written: nothing was registered
    bool restart_needed = false;
    std::vector<std::string> report;         // the report page's lines
    std::vector<std::string> written_files;  // deleted at exit when the run is aborted
    // The use counts of shared files this run raised, with the count before (-1: none); put
    // back at exit when the run is aborted.
    struct CountChange {
        std::string path;
        std::int64_t before;
    };
    std::vector<CountChange> counted;
    int progress = 1;
    CopyFailures copy_failures;               // asks once for the whole run
    std::vector<std::string> created_folders;  // removed at exit when the run is aborted

    // A file the runtime wrote (new, or replacing what was there) for the product.
    void NoteWritten(const std::string& target, std::uint32_t kilobytes) { record.Add(target, kilobytes); }
    // Whether a removal may delete `target`: the product wrote it, or there is no record to ask.
    bool ProductWrote(const std::string& target) const { return !have_record || record.Has(target); }

    // The text of a string-table key in the run's language ("" when missing).
    std::string Text(const std::string& key) const;
    // The text of `key`, or `key` itself when the string table has no such key.
    std::string TextOrSelf(const std::string& key) const;
};

class EngineEvents;
// Adds a report line (telling the events) and gives its index; changes a line already there.
std::size_t AddReport(RunState& run, EngineEvents& events, const std::string& text);
void SetReport(RunState& run, EngineEvents& events, std::size_t index, const std::string& text);

}  // namespace qp
