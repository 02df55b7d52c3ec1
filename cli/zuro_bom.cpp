// zuro-bom: the converter windows' roads run end to end from the command line. Each subcommand
// drives the same window classes that the DLL shows, through the headless screen; the user's
// answers are given as options. Exit status: 0 the road ran, 1 a message stopped it, 2 bad usage.
#include <string>
#include <vector>

#include "base/version.h"
#include "cli/cli_support.h"

namespace zuro::cli {

// What zuro-bom can do today; a subcommand appears here when it works.
extern const char kUsage[] =
    R"(zuro-bom table REPORT [--converter K] [--library DIR] [-o FILE.tbl]
    Read REPORT as the converter K's open command does and write the component table in the
    table-file format (to FILE.tbl in code page 1251; to standard output in UTF-8).
zuro-bom convert REPORT [--converter K] --document spec|list|purchased [--sort elements|gost]
    [--device graphic|vector] [--library DIR] [--graphic | --model ITEMS.txt]
    [--unmark ROW]... [--set ROW,COL=TEXT]... -o OUT.json [--html OUT.html] [--timings]
    Open REPORT (or a .tbl table file), apply the marks and cell edits, run the create command of
    the document kind (32777, 32778, 32780 or 32779) and save the host document to OUT.json. With
    no --graphic or --model the host has no document open, so a new document is made from the
    pattern file and the save dialog is answered with OUT.json. --graphic: the host has an active
    graphic document, which receives the objects. --model: the host has an active model document
    whose items are the lines of ITEMS.txt, each a designator and a name; the window asks for the
    report at once, only the specification can be made, one object per designator linked to its
    item. The specification sorts its items in the work database bom.db of DIR, which must be
    writable. --html writes the document as a page to look at. --timings prints on standard
    error one line a phase, "timing: NAME SECONDS": read (the report into the table), run (the
    create command less the time inside the host's calls), host (that time, then the number of
    calls: "timing: host SECONDS CALLS") and save (the document written).
zuro-bom show DOCUMENT.json [--html OUT.html]
    Print a document of the stand-in host (as convert or the host program saved it) one object a
    line: its section, then its columns in column order; --html writes it as a page.
zuro-bom pdm REPORT [--library DIR] [--document spec|list|purchased] [--unmark ROW]...
    Run the PDM's LoadBom on REPORT (a P-CAD .bom report or a Mentor .lst list): the PDM window
    reads it, the rows given are unmarked, the document choice (default spec) is clicked and
    "Создать" pressed. The two object type names LoadBom returns are printed first (TYPE1=...,
    TYPE2=...); the object list res.txt the window writes into DIR is then read back as the PDM
    reads it and printed one object a line: its type, "#", its attributes as NAME=VALUE;.
    Only the specification choice passes objects on; the others leave the list empty.
zuro-bom --version
    Print the version of the library this program was built with.
K is pcad, mentor, orcad, protel, altium or allegro (default from the extension: .bom pcad,
.lst mentor, .csv protel, .txt altium, .htm allegro). A REPORT ending in .tbl is opened as a table
file (the "Открыть таблицу" command) in the window of K (default pcad). DIR defaults to the
library folder shipped with the build. ROW and COL count as in the component table (row 1 is the
first component).
)";

namespace {

int Main(const std::vector<std::string>& args) {
  if (args.empty())
    return BadUsage("a subcommand is missing");
  const std::string& command = args[0];
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (command == "-h" || command == "--help") {
    Print(stdout, kUsage);
    return kExitDone;
  }
  if (command == "--version") {
    Print(stdout, "zuro-bom " ZURO_VERSION_TEXT "\n");
    return kExitDone;
  }
  if (command == "table")
    return Table(rest);
  if (command == "convert")
    return Convert(rest);
  if (command == "show")
    return Show(rest);
  if (command == "pdm")
    return Pdm(rest);
  return BadUsage("unknown subcommand " + command);
}

}  // namespace

}  // namespace zuro::cli

// Arguments arrive in UTF-8 and are kept so: most are paths, which the library holds in UTF-8.
int main(int argc, char** argv) {
  return zuro::cli::Main(std::vector<std::string>(argv + 1, argv + argc));
}
