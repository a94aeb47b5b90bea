// The compiled half of the Python package `drainprep`: the runs of the
// library, taking and giving Python objects. The package's __init__.py wraps
// these calls with the checks of their arguments, the exceptions and the
// outcome objects; everything here runs with the interpreter's lock released,
// so a thread pool runs soils side by side.
//
// Texts cross as bytes where the runs see bytes: a str is encoded as UTF-8
// and every text handed back is decoded from UTF-8 with surrogateescape, so
// a title in another encoding comes back byte for byte when encoded the same
// way.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <mutex>
#include <string>
#include <vector>

#include "drainprep/drainprep.h"

namespace py = pybind11;

namespace {

// A soil run keeps its error message and routine name in process-wide
// fields, so soil runs take turns; weather runs keep no such fields.
std::mutex soil_turn;

std::string bytes_of(const py::handle& text, const char* what) {
    if (PyBytes_Check(text.ptr())) return std::string(PyBytes_AS_STRING(text.ptr()), PyBytes_GET_SIZE(text.ptr()));
    if (PyUnicode_Check(text.ptr())) {
        py::object encoded =
            py::reinterpret_steal<py::object>(PyUnicode_AsEncodedString(text.ptr(), "utf-8", "surrogateescape"));
        if (!encoded) throw py::error_already_set();
        return std::string(PyBytes_AS_STRING(encoded.ptr()), PyBytes_GET_SIZE(encoded.ptr()));
    }
    throw py::type_error(std::string(what) + " must be str or bytes, not " +
                         std::string(py::str(py::type::handle_of(text).attr("__name__"))));
}

py::str text_of(const std::string& bytes) {
    PyObject* s = PyUnicode_DecodeUTF8(bytes.data(), static_cast<Py_ssize_t>(bytes.size()), "surrogateescape");
    if (!s) throw py::error_already_set();
    return py::reinterpret_steal<py::str>(s);
}

std::vector<std::string> args_of(const py::handle& args) {
    if (PyUnicode_Check(args.ptr()) || PyBytes_Check(args.ptr()) || !py::isinstance<py::sequence>(args))
        throw py::type_error("args must be a list of str, not " +
                             std::string(py::str(py::type::handle_of(args).attr("__name__"))));
    std::vector<std::string> out;
    for (const py::handle item : py::reinterpret_borrow<py::sequence>(args)) {
        if (!PyUnicode_Check(item.ptr()))
            throw py::type_error("each argument must be str, not " +
                                 std::string(py::str(py::type::handle_of(item).attr("__name__"))));
        out.push_back(bytes_of(item, "each argument"));
    }
    return out;
}

drainprep::Files files_of(const py::handle& files) {
    if (!py::isinstance<py::dict>(files))
        throw py::type_error("files must be a dict of file name to text, not " +
                             std::string(py::str(py::type::handle_of(files).attr("__name__"))));
    drainprep::Files out;
    for (const auto& [name, text] : py::reinterpret_borrow<py::dict>(files)) {
        if (!PyUnicode_Check(name.ptr())) throw py::type_error("each file name must be str");
        out[bytes_of(name, "each file name")] = bytes_of(text, "each file's text");
    }
    return out;
}

// (log, console, files, ok) of a run's outcome.
py::tuple outcome_tuple(const drainprep::Outcome& o) {
    py::list console;
    for (const std::string& line : o.console) console.append(text_of(line));
    py::dict files;
    for (const auto& [name, text] : o.files) files[text_of(name)] = text_of(text);
    return py::make_tuple(text_of(o.log), console, files, o.ok);
}

template <typename Run>
py::tuple run_released(Run run, bool soil) {
    drainprep::Outcome o;
    {
        py::gil_scoped_release released;
        std::unique_lock<std::mutex> turn(soil_turn, std::defer_lock);
        if (soil) turn.lock();
        o = run();
    }
    return outcome_tuple(o);
}

py::array_t<float> array_of(const std::vector<float>& v) {
    return py::array_t<float>(static_cast<py::ssize_t>(v.size()), v.data());
}

template <typename Row>
py::array_t<float> column(const std::vector<Row>& rows, float Row::*member) {
    py::array_t<float> a(static_cast<py::ssize_t>(rows.size()));
    auto out = a.mutable_unchecked<1>();
    for (size_t i = 0; i < rows.size(); ++i) out(static_cast<py::ssize_t>(i)) = rows[i].*member;
    return a;
}

// The tables as plain dicts of float32 arrays, named with their units; the
// package's SoilTables gives them their classes.
py::dict tables_dict(const drainprep::SoilTables& t) {
    using T = drainprep::SoilTables;
    py::list layers;
    for (const T::Layer& l : t.layers) {
        py::dict characteristic, conductivity, layer;
        characteristic["suction_cm"] = array_of(l.suction);
        characteristic["theta"] = array_of(l.theta);
        conductivity["theta"] = array_of(l.k_theta);
        conductivity["head_cm"] = array_of(l.k_head);
        conductivity["k_cm_per_hr"] = array_of(l.k_cond);
        layer["characteristic"] = characteristic;
        layer["conductivity"] = conductivity;
        layer["wetting_front_suction_cm"] = l.wetting_front_suction;
        layers.append(layer);
    }
    py::dict drainage, green_ampt, upward_flux;
    drainage["depth_cm"] = column(t.drainage, &T::DrainageRow::depth);
    drainage["volume_cm"] = column(t.drainage, &T::DrainageRow::volume);
    drainage["porosity"] = column(t.drainage, &T::DrainageRow::porosity);
    green_ampt["depth_cm"] = column(t.green_ampt, &T::GreenAmptRow::depth);
    green_ampt["a_cm2_per_hr"] = column(t.green_ampt, &T::GreenAmptRow::a);
    green_ampt["b_cm_per_hr"] = column(t.green_ampt, &T::GreenAmptRow::b);
    upward_flux["flux_cm_per_hr"] = column(t.upward_flux, &T::FluxRow::flux);
    upward_flux["depth_cm"] = column(t.upward_flux, &T::FluxRow::depth);

    py::dict sin, sin_characteristic, sin_depths, sin_green_ampt;
    sin_characteristic["theta"] = array_of(t.sin.theta);
    sin_characteristic["head_cm"] = array_of(t.sin.head);
    sin_depths["depth_cm"] = array_of(t.sin.depth);
    sin_depths["volume_cm"] = array_of(t.sin.volume);
    sin_depths["upflux_cm_per_hr"] = array_of(t.sin.upflux);
    sin_green_ampt["depth_cm"] = array_of(t.sin.ga_depth);
    sin_green_ampt["a_cm2_per_hr"] = array_of(t.sin.ga_a);
    sin_green_ampt["b_cm_per_hr"] = array_of(t.sin.ga_b);
    sin["title"] = text_of(t.sin.title);
    sin["characteristic"] = sin_characteristic;
    sin["depths"] = sin_depths;
    sin["green_ampt"] = sin_green_ampt;

    py::dict d;
    d["ok"] = t.ok;
    d["log"] = text_of(t.log);
    d["layers"] = layers;
    d["drainage"] = drainage;
    d["green_ampt"] = green_ampt;
    d["upward_flux"] = upward_flux;
    d["sin"] = sin;
    return d;
}

}  // namespace

PYBIND11_MODULE(_drainprep, m) {
    m.doc() = "The compiled runs behind the drainprep package; use the package's functions.";

    m.def(
        "pedopre",
        [](const py::handle& args, const py::handle& files) {
            auto a = args_of(args);
            auto f = files_of(files);
            return run_released([&] { return drainprep::pedopre(a, std::move(f)); }, true);
        },
        py::arg("args"), py::arg("files"), "PEDOPRE on files held in memory: (log, console, files, ok).");
    m.def(
        "metconv",
        [](const py::handle& args, const py::handle& files) {
            auto a = args_of(args);
            auto f = files_of(files);
            return run_released([&] { return drainprep::metconv(a, std::move(f)); }, false);
        },
        py::arg("args"), py::arg("files"), "METCONV on files held in memory: (log, console, files, ok).");
    m.def(
        "pedopre_on_disk",
        [](const py::handle& args) {
            auto a = args_of(args);
            return run_released([&] { return drainprep::pedopre_on_disk(a); }, true);
        },
        py::arg("args"), "PEDOPRE on the disk: (log, console, files written, ok).");
    m.def(
        "metconv_on_disk",
        [](const py::handle& args) {
            auto a = args_of(args);
            return run_released([&] { return drainprep::metconv_on_disk(a); }, false);
        },
        py::arg("args"), "METCONV on the disk: (log, console, files written, ok).");
    m.def(
        "soil_tables",
        [](const py::handle& text, const py::handle& name) {
            const std::string t = bytes_of(text, "the soil's text");
            if (!PyUnicode_Check(name.ptr())) throw py::type_error("name must be str");
            const std::string n = bytes_of(name, "name");
            drainprep::SoilTables tables;
            {
                py::gil_scoped_release released;
                std::lock_guard<std::mutex> turn(soil_turn);
                tables = drainprep::soil_tables(t, n);
            }
            return tables_dict(tables);
        },
        py::arg("text"), py::arg("name") = "soil.dat", "The typed soil call: the tables as a dict of float32 arrays.");
    m.def("version", &drainprep::version, "The version of the tool set, such as \"1.0.0\".");
}
