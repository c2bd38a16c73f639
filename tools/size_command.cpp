#include "size_command.h"

#include "batch.h"
#include "catalog_commands.h"
#include "library_faults.h"
#include "segment_output.h"

#include <sys/stat.h>

namespace tqrvn {

namespace {

// The message of a design error, naming the field as the user wrote it.
std::string Message(const RVN::CTQDesignError& e)
{
    const std::string_view field = RVN::SegmentFieldOfRequestField(e.field);
    return field.empty() ? e.message : std::string(field) + ": " + e.message;
}

int StatusOf(const RVN::CTQDesignError& e)
{
    return e.kind == RVN::TQDesignErrorKind::Catalog ? kCatalogError : kInputError;
}

// Writes text and reports a failed write; the status of the command.
int Emit(std::ostream& out, std::ostream& err, const std::string& text)
{
    out << text;
    out.flush();
    if (!out) {
        err << "tqrvn: cannot write the output\n";
        return kCatalogError;
    }
    return 0;
}

}  // namespace

CTQCatalogSnapshot::Ptr OpenCatalog(const std::string& path, std::ostream& err)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        err << "tqrvn: no catalog at " << path << " (create one with: tqrvn catalog create PATH)\n";
        return nullptr;
    }
    // The path quoted, so that a ';' or blanks at either end stay part of it.
    std::string value = "\"";
    for (char c : path)
        value += c == '"' ? "\"\"" : std::string(1, c);
    CADODatabase db;
    if (!db.Open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + value + "\"")) {
        err << "tqrvn: cannot open the catalog " << path << ": "
            << DescribeDatabaseError(db.GetLastError(), db.GetLastErrorString()) << "\n";
        return nullptr;
    }
    const auto loaded = CTQCatalogSnapshot::Load(&db);  // the snapshot holds everything sizing needs
    if (!loaded.Ok()) {
        err << "tqrvn: " << path << ": " << loaded.error.message << "\n";
        return nullptr;
    }
    return loaded.value;
}

int SizeCommand(const SizeOptions& options, std::ostream& out, std::ostream& err)
{
    const auto catalog = OpenCatalog(CatalogPath(options.catalog), err);
    if (!catalog)
        return kCatalogError;
    if (!options.batch.empty())
        return RunBatch(options, *catalog, out, err);
    const auto request = RVN::ParseSegmentFields(options.fields);
    if (!request.Ok()) {
        err << "tqrvn: " << Message(request.error) << "\n";
        return kInputError;
    }
    if (options.table) {
        const auto rows = RVN::ListSegmentSizes(*catalog, request.value);
        if (!rows.Ok()) {
            err << "tqrvn: " << Message(rows.error) << "\n";
            return StatusOf(rows.error);
        }
        return Emit(out, err,
                    options.json  ? SizeTableJson(rows.value) + "\n"
                    : options.csv ? SizeTableCsv(rows.value)
                                  : SizeTableText(rows.value));
    }
    const auto sized = RVN::SizeSegment(*catalog, request.value);
    if (!sized.Ok()) {
        err << "tqrvn: " << Message(sized.error) << "\n";
        return StatusOf(sized.error);
    }
    if (options.json)
        return Emit(out, err, SegmentJson(sized.value) + "\n");
    if (options.csv) {
        std::string text = std::string(kSegmentCsvColumns) + "\n";
        AppendSegmentCsv(text, 0, sized.value.id, &sized.value, "");
        return Emit(out, err, text);
    }
    return Emit(out, err, SegmentText(sized.value));
}

const char* SizeHelpFooter()
{
    return R"(Fluid:
  Water by default, at --temp (default 20 degC, 0 to 100 degC): density and kinematic
  viscosity from the water formulas.  --steam sizes saturated steam in a water-pipe (steel)
  material: density and viscosity from the catalog's steam row of --temp, a whole degree the
  catalog holds (100 to 300 degC in the shipped catalog); --temp is then required.
Flow:
  --flow VALUE UNIT: a volume flow (m3/s, m3/h, l/s, l/min, GPM, ...) or a mass flow (kg/s,
  kg/h, t/h, ...; divided by the fluid's density).  Steam is given by its mass flow, e.g.
  --flow 500 kg/h.  Water may instead be given by its heat load, --load VALUE UNIT (W, kW,
  kcal/h, RT, ...) with --dt K: mass flow = load / (4.187 kJ/(kg K) x dt).
Selection (--by):
  rm (default): the first size in DN order whose specific-friction range MinR-MaxR holds its
  Rm (each material's own friction method: Darcy for water pipe, where Colebrook-White stands
  in for a formula out of its range, the plastic and PPR formulas, the steam formula);
  velocity: the velocity range MinV-MaxV, for steam the steam limits (35 m/s to DN200, 60 m/s
  above); load: the load range MinH-MaxH, stated for the material's temperature difference
  (20 K unless its comment says otherwise): a load at another dt is compared as the load of
  the same flow at that difference.  When no size fits, the nearest size is taken and
  reported as the nearest size only.  --dn DN checks that size instead of selecting one;
  --table lists every size of the material at the segment's flow.
Fittings:
  --fitting NAME=COUNT, repeatable (NAME alone counts once): valves and fittings of
  'tqrvn catalog list valves' by name or ID, of kind 1 for water pipe and steam, kind 2 for
  plastic and PPR pipe.  Their coefficients depend on the DN, so they are read at the DN
  chosen and added to --zeta; the choice itself does not depend on local losses.
Batch (--batch FILE, or - for standard input):
  CSV in UTF-8 (GBK/GB18030 files from spreadsheet programs are read too), one segment per
  line; blank lines and lines starting with # are skipped.  The first other line is a header
  naming the columns, in any order, from
    id,material,category,flow,load,dt,length,zeta,fitting,temp,by,roughness,steam,dn
  each column written as its option (fitting: NAME=COUNT;NAME=COUNT, or with commas
  inside quotes; steam: yes or no; id: a label copied to the output).  An empty or missing
  column takes the command-line option's value, else its default.  Example:
    id,flow,length,fitting,temp
    R1,0.65 m3/h,12,弯头=2;闸阀=1,60
  Output, one row per segment in input order (JSON lines with --json):
    line,id,status,material,DN,inner_diameter_mm,velocity_m_s,Rm_Pa_m,friction_loss_Pa,
    dynamic_pressure_Pa,zeta,local_loss_Pa,total_loss_Pa,fit,message
  fit is fits or nearest; message holds the notes.  A bad row has status error and the reason
  in message, and is reported on standard error with its line number; the other rows still
  run, and the exit status is then 2.  A batch running over a second draws a progress bar on
  a terminal.
Exit status: 0 sized, 1 catalog missing or unusable or output not written, 2 bad input.
Example: a 60 degC heating branch of 25 m carrying 15 kW at dt 10 K, with two elbows (弯头)
and a gate valve (闸阀):
  tqrvn size --load 15 kW --dt 10 --temp 60 --length 25 --fitting 弯头=2 --fitting 闸阀=1
)";
}

}  // namespace tqrvn
