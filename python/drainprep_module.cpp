// The compiled half of the Python package `drainprep`: the runs of the
// library, taking and giving Python objects. The package's __init__.py wraps
// these calls with the checks of their arguments, the exceptions and the
// outcome objects; every run works with the interpreter's lock released,
// so a thread pool runs soils side by side.
//
// Texts cross as bytes where the runs see bytes: a str is encoded as UTF-8
// and every text handed back is decoded from UTF-8 with surrogateescape, so
// a title in another encoding comes back byte for byte when encoded the same
// way.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <memory>
#include <string>
#include <vector>

#include "data_functions.h"
#include "drainprep/drainprep.h"

namespace py = pybind11;

namespace {

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

// Runs keep no state beyond their own call, so they run side by side.
template <typename Run>
py::tuple run_released(Run run) {
    drainprep::Outcome o;
    {
        py::gil_scoped_release released;
        o = run();
    }
    return outcome_tuple(o);
}

// A soil's tables stay in the C++ struct the typed call filled; each column
// is a read-only NumPy view of it, made when asked for and keeping the struct
// alive. A call copies no table, so the package's soil_tables costs little
// more than the C++ call.
using Tables = drainprep::SoilTables;

py::array_t<float> view(const float* first, size_t count, size_t stride, const py::handle& owner) {
    py::array_t<float> a({static_cast<py::ssize_t>(count)}, {static_cast<py::ssize_t>(stride)}, first, owner);
    py::detail::array_proxy(a.ptr())->flags &= ~py::detail::npy_api::NPY_ARRAY_WRITEABLE_;
    return a;
}

py::array_t<float> view(const std::vector<float>& v, const py::handle& owner) {
    return view(v.data(), v.size(), sizeof(float), owner);
}

template <typename Row>
py::array_t<float> view(const std::vector<Row>& rows, float Row::*member, const py::handle& owner) {
    return view(rows.empty() ? nullptr : &(rows.front().*member), rows.size(), sizeof(Row), owner);
}

const Tables& tables_of(const py::object& self) {
    return self.cast<const Tables&>();
}

py::dict layer_dict(const py::object& self, size_t k) {
    const Tables& t = tables_of(self);
    if (k >= t.layers.size()) throw py::index_error("no layer " + std::to_string(k));
    const Tables::Layer& l = t.layers[k];
    py::dict characteristic, conductivity, layer;
    characteristic["suction_cm"] = view(l.suction, self);
    characteristic["theta"] = view(l.theta, self);
    conductivity["theta"] = view(l.k_theta, self);
    conductivity["head_cm"] = view(l.k_head, self);
    conductivity["k_cm_per_hr"] = view(l.k_cond, self);
    layer["characteristic"] = characteristic;
    layer["conductivity"] = conductivity;
    layer["wetting_front_suction_cm"] = l.wetting_front_suction;
    return layer;
}

py::dict drainage_dict(const py::object& self) {
    const Tables& t = tables_of(self);
    py::dict d;
    d["depth_cm"] = view(t.drainage, &Tables::DrainageRow::depth, self);
    d["volume_cm"] = view(t.drainage, &Tables::DrainageRow::volume, self);
    d["porosity"] = view(t.drainage, &Tables::DrainageRow::porosity, self);
    return d;
}

py::dict green_ampt_dict(const py::object& self) {
    const Tables& t = tables_of(self);
    py::dict d;
    d["depth_cm"] = view(t.green_ampt, &Tables::GreenAmptRow::depth, self);
    d["a_cm2_per_hr"] = view(t.green_ampt, &Tables::GreenAmptRow::a, self);
    d["b_cm_per_hr"] = view(t.green_ampt, &Tables::GreenAmptRow::b, self);
    return d;
}

py::dict upward_flux_dict(const py::object& self) {
    const Tables& t = tables_of(self);
    py::dict d;
    d["flux_cm_per_hr"] = view(t.upward_flux, &Tables::FluxRow::flux, self);
    d["depth_cm"] = view(t.upward_flux, &Tables::FluxRow::depth, self);
    return d;
}

py::dict sin_dict(const py::object& self) {
    const Tables::SoilInputFile& s = tables_of(self).sin;
    py::dict characteristic, depths, green_ampt, sin;
    characteristic["theta"] = view(s.theta, self);
    characteristic["head_cm"] = view(s.head, self);
    depths["depth_cm"] = view(s.depth, self);
    depths["volume_cm"] = view(s.volume, self);
    depths["upflux_cm_per_hr"] = view(s.upflux, self);
    green_ampt["depth_cm"] = view(s.ga_depth, self);
    green_ampt["a_cm2_per_hr"] = view(s.ga_a, self);
    green_ampt["b_cm_per_hr"] = view(s.ga_b, self);
    sin["title"] = text_of(s.title);
    sin["characteristic"] = characteristic;
    sin["depths"] = depths;
    sin["green_ampt"] = green_ampt;
    return sin;
}

}  // namespace

PYBIND11_MODULE(_drainprep, m) {
    m.doc() = "The compiled runs behind the drainprep package; use the package's functions.";

    m.def(
        "pedopre",
        [](const py::handle& args, const py::handle& files) {
            auto a = args_of(args);
            auto f = files_of(files);
            return run_released([&] { return drainprep::pedopre(a, std::move(f)); });
        },
        py::arg("args"), py::arg("files"), "PEDOPRE on files held in memory: (log, console, files, ok).");
    m.def(
        "metconv",
        [](const py::handle& args, const py::handle& files) {
            auto a = args_of(args);
            auto f = files_of(files);
            return run_released([&] { return drainprep::metconv(a, std::move(f)); });
        },
        py::arg("args"), py::arg("files"), "METCONV on files held in memory: (log, console, files, ok).");
    m.def(
        "pedopre_on_disk",
        [](const py::handle& args) {
            auto a = args_of(args);
            return run_released([&] { return drainprep::pedopre_on_disk(a); });
        },
        py::arg("args"), "PEDOPRE on the disk: (log, console, files written, ok).");
    m.def(
        "metconv_on_disk",
        [](const py::handle& args) {
            auto a = args_of(args);
            return run_released([&] { return drainprep::metconv_on_disk(a); });
        },
        py::arg("args"), "METCONV on the disk: (log, console, files written, ok).");
    py::class_<Tables>(m, "Tables", "A soil's tables as the typed call gave them.")
        .def_property_readonly("ok", [](const Tables& t) { return t.ok; })
        .def_property_readonly("log", [](const Tables& t) { return text_of(t.log); })
        .def_property_readonly("layer_count", [](const Tables& t) { return t.layers.size(); })
        .def("layer", &layer_dict, "The layer's characteristic and conductivity, counted from 0.")
        .def("drainage", &drainage_dict)
        .def("green_ampt", &green_ampt_dict)
        .def("upward_flux", &upward_flux_dict)
        .def("sin", &sin_dict);
    m.def(
        "soil_tables",
        [](const py::handle& text, const py::handle& name) {
            const std::string t = bytes_of(text, "the soil's text");
            if (!PyUnicode_Check(name.ptr())) throw py::type_error("name must be str");
            const std::string n = bytes_of(name, "name");
            auto tables = std::make_unique<Tables>();
            {
                py::gil_scoped_release released;
                *tables = drainprep::soil_tables(t, n);
            }
            return tables;
        },
        py::arg("text"), py::arg("name") = "soil.dat", "The typed soil call: the tables, viewed by the package.");
    add_data_functions(m);
    m.def("version", &drainprep::version, "The version of the tool set, such as \"1.0.0\".");
}
