#include "tests/support/CompoundFileWriter.h"

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-stdio.h>
#include <gsf/gsf-utils.h>

#include <stdexcept>

struct CompoundFileWriter::Node {
    bool isStream = false;
    std::string bytes;
    std::map<std::string, Node> children;
};

namespace {

void writeChildren(GsfOutfile* outfile, const CompoundFileWriter::Node& node)
{
    for (const auto& [name, child] : node.children) {
        GsfOutput* output = gsf_outfile_new_child(outfile, name.c_str(), !child.isStream);
        if (!output)
            throw std::runtime_error("cannot create " + name);
        if (child.isStream) {
            if (!child.bytes.empty()
                && !gsf_output_write(
                    output, child.bytes.size(), reinterpret_cast<const guint8*>(child.bytes.data())))
                throw std::runtime_error("cannot write " + name);
        } else {
            writeChildren(GSF_OUTFILE(output), child);
        }
        gsf_output_close(output);
        g_object_unref(output);
    }
}

}

CompoundFileWriter::CompoundFileWriter()
    : m_root(std::make_unique<Node>())
{
}

CompoundFileWriter::~CompoundFileWriter() = default;

CompoundFileWriter::Node& CompoundFileWriter::nodeAt(const std::string& path)
{
    Node* node = m_root.get();
    size_t start = 0;
    while (start <= path.size()) {
        size_t slash = path.find('/', start);
        std::string name = path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        node = &node->children[name];
        if (slash == std::string::npos)
            break;
        start = slash + 1;
    }
    return *node;
}

CompoundFileWriter& CompoundFileWriter::stream(const std::string& path, const std::string& bytes)
{
    Node& node = nodeAt(path);
    node.isStream = true;
    node.bytes = bytes;
    return *this;
}

CompoundFileWriter& CompoundFileWriter::storage(const std::string& path)
{
    nodeAt(path);
    return *this;
}

void CompoundFileWriter::write(const std::string& file) const
{
    gsf_init();
    GError* error = nullptr;
    GsfOutput* sink = gsf_output_stdio_new(file.c_str(), &error);
    if (!sink) {
        if (error)
            g_error_free(error);
        throw std::runtime_error("cannot create " + file);
    }
    GsfOutfile* outfile = gsf_outfile_msole_new(sink);
    g_object_unref(sink);
    writeChildren(outfile, *m_root);
    gsf_output_close(GSF_OUTPUT(outfile));
    g_object_unref(outfile);
}
