// Sizing a batch of segments given as columns: one request per row, sized
// in parallel against one catalog snapshot, every row answered with its
// result or its error.
#include "Bindings.h"
#include "NumericFunction.h"
#include "PyCatalog.h"
#include "PyDesign.h"

#include "design/SegmentDesign.h"

#include <pybind11/stl.h>

#include <optional>

namespace py = pybind11;

namespace tqrvn_py {

namespace {

// Sizing one segment takes some microseconds: a batch is split across
// threads from this many rows.
constexpr npy_intp kBatchThreshold = 256;

struct Column {
    std::string name;
    py::object values; ///< a list, or one value for every row
    bool scalar = false;
};

std::vector<Column> ReadColumns(const py::dict& columns, std::size_t& rows) {
    std::vector<Column> out;
    std::optional<std::size_t> n;
    for (const auto& [key, value] : columns) {
        Column c{py::str(key), py::reinterpret_borrow<py::object>(value), false};
        c.scalar = py::isinstance<py::str>(value) || py::isinstance<py::dict>(value) ||
                   !py::isinstance<py::sequence>(value);
        if (!c.scalar) {
            c.values = py::list(c.values);
            const std::size_t len = py::len(c.values);
            if (n && *n != len) {
                throw py::value_error("column '" + c.name + "' has " + std::to_string(len) +
                                      " rows, another has " + std::to_string(*n));
            }
            n = len;
        }
        out.push_back(std::move(c));
    }
    rows = n.value_or(1);
    return out;
}

// The request of one row, or its error (from the library's reading of a
// value) in `error`.
RVN::CTQSegmentRequest RowRequest(const std::vector<Column>& columns, std::size_t row,
                                  RVN::CTQDesignError& error) {
    RVN::CTQSegmentRequest rq;
    for (const Column& c : columns) {
        const py::handle value =
            c.scalar ? c.values.ptr()
                     : PyList_GET_ITEM(c.values.ptr(), static_cast<Py_ssize_t>(row));
        try {
            if (!SetRequestField(rq, c.name, value)) {
                throw py::type_error("SizeColumns(): no request field '" + c.name +
                                     "' (accepted: " + RequestKeywords() + ")");
            }
        } catch (py::error_already_set& e) {
            if (!e.matches(py::module_::import("tqrvn._tqrvn").attr("DesignError"))) {
                throw;
            }
            error.kind = RVN::TQDesignErrorKind::Input;
            error.field = py::str(e.value().attr("field"));
            error.message = py::str(e.value().attr("message"));
            break;
        }
    }
    return rq;
}

py::dict ResultColumns(const std::vector<RVN::CTQDesignOutcome<RVN::CTQSegmentResult>>& results) {
    py::dict out;
    for (const auto& f : SegmentResultFields()) {
        if (std::string(f.name) == "fittings") {
            continue;
        }
        py::list column;
        for (const auto& r : results) {
            if (!r.Ok()) {
                column.append(py::none());
            } else if (std::string(f.name) == "warnings") {
                std::string joined;
                for (const auto& w : r.value.warnings) {
                    joined += (joined.empty() ? "" : "; ") + w;
                }
                column.append(joined);
            } else {
                column.append(f.get(r.value));
            }
        }
        out[f.name] = column;
    }
    py::list error;
    py::list errorField;
    for (const auto& r : results) {
        error.append(r.Ok() ? std::string() : r.error.Text());
        errorField.append(r.Ok() ? std::string() : r.error.field);
    }
    out["error"] = error;
    out["errorField"] = errorField;
    return out;
}

py::dict SizeColumns(const py::object& catalog, const py::dict& columns) {
    std::size_t rows = 0;
    const std::vector<Column> cols = ReadColumns(columns, rows);
    std::vector<RVN::CTQSegmentRequest> requests(rows);
    std::vector<RVN::CTQDesignOutcome<RVN::CTQSegmentResult>> results(rows);
    for (std::size_t i = 0; i < rows; ++i) {
        requests[i] = RowRequest(cols, i, results[i].error);
    }
    const auto snapshot = CatalogHandle::From(catalog)->Snapshot();
    {
        py::gil_scoped_release release;
        ParallelFor(
            static_cast<npy_intp>(rows), kBatchThreshold, [&](npy_intp begin, npy_intp end) {
                for (npy_intp i = begin; i < end; ++i) {
                    auto& r = results[static_cast<std::size_t>(i)];
                    if (!r.error.IsError()) {
                        r = RVN::SizeSegment(*snapshot, requests[static_cast<std::size_t>(i)]);
                    }
                }
            });
    }
    return ResultColumns(results);
}

} // namespace

void AddDesignBatch(py::module_& m) {
    m.def("_SizeColumns", &SizeColumns, py::arg("catalog"), py::arg("columns"),
          "Columns (a dict of lists, or single values for every row) of SizeSegment\n"
          "keywords, sized row by row; a dict of result columns with error and\n"
          "errorField ('' for a row that was sized).");
}

} // namespace tqrvn_py
