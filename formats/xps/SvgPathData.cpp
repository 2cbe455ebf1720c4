#include "formats/xps/SvgPathData.h"

#include "formats/xps/SvgNumber.h"

#include <cctype>
#include <cmath>
#include <optional>

namespace formats::svg {

namespace {

// Reads numbers and flags out of path data.
class Scanner {
public:
    explicit Scanner(std::string_view text)
        : m_text(text)
    {
    }

    void skipSeparators()
    {
        while (m_position < m_text.size()
            && (std::isspace(static_cast<unsigned char>(m_text[m_position])) || m_text[m_position] == ','))
            ++m_position;
    }
    bool atEnd()
    {
        skipSeparators();
        return m_position >= m_text.size();
    }
    bool atNumber()
    {
        skipSeparators();
        if (m_position >= m_text.size())
            return false;
        char c = m_text[m_position];
        return std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '+' || c == '.';
    }
    char command() { return m_text[m_position++]; }
    bool number(double& value)
    {
        if (!atNumber())
            return false;
        std::string_view rest = m_text.substr(m_position);
        std::optional<double> read = SvgNumber::read(rest);
        if (!read)
            return false;
        value = *read;
        m_position = m_text.size() - rest.size();
        return true;
    }
    // Arc flags may be written without separators ("a1 1 0 00 1 1").
    bool flag(double& value)
    {
        skipSeparators();
        if (m_position < m_text.size() && (m_text[m_position] == '0' || m_text[m_position] == '1')) {
            value = m_text[m_position++] - '0';
            return true;
        }
        return false;
    }

private:
    std::string_view m_text;
    size_t m_position = 0;
};

int argumentCount(char command)
{
    switch (std::toupper(static_cast<unsigned char>(command))) {
    case 'M':
    case 'L':
    case 'T':
        return 2;
    case 'H':
    case 'V':
        return 1;
    case 'C':
        return 6;
    case 'S':
    case 'Q':
        return 4;
    case 'A':
        return 7;
    case 'Z':
        return 0;
    }
    return -1;
}

}

SvgPathData SvgPathData::parse(std::string_view data)
{
    SvgPathData path;
    Scanner scanner(data);
    double x = 0, y = 0, startX = 0, startY = 0;
    double controlX = 0, controlY = 0; // the last control point, for S and T
    char previous = 0;
    char command = 0;
    while (!scanner.atEnd()) {
        if (!scanner.atNumber()) {
            command = scanner.command();
        } else if (command == 0 || command == 'Z' || command == 'z') {
            break; // numbers without a command
        }
        int count = argumentCount(command);
        if (count < 0)
            break;
        double v[7] = {};
        bool complete = true;
        for (int i = 0; i < count && complete; ++i)
            complete = (std::toupper(static_cast<unsigned char>(command)) == 'A' && (i == 3 || i == 4))
                ? scanner.flag(v[i])
                : scanner.number(v[i]);
        if (!complete)
            break;
        bool relative = std::islower(static_cast<unsigned char>(command));
        char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(command)));
        auto absolute = [&](int i, double base) { return relative ? v[i] + base : v[i]; };
        bool smoothCubic = previous == 'C';
        bool smoothQuad = previous == 'Q';
        switch (upper) {
        case 'M':
            x = absolute(0, x);
            y = absolute(1, y);
            startX = x;
            startY = y;
            path.m_segments.push_back({ 'M', { x, y } });
            // Further pairs after a move are lines.
            command = relative ? 'l' : 'L';
            break;
        case 'L':
        case 'H':
        case 'V':
            if (upper != 'V')
                x = absolute(0, x);
            if (upper == 'L')
                y = absolute(1, y);
            if (upper == 'V')
                y = absolute(0, y);
            path.m_segments.push_back({ 'L', { x, y } });
            break;
        case 'C':
        case 'S': {
            double x1 = smoothCubic ? 2 * x - controlX : x, y1 = smoothCubic ? 2 * y - controlY : y;
            int base = 0;
            if (upper == 'C') {
                x1 = absolute(0, x);
                y1 = absolute(1, y);
                base = 2;
            }
            controlX = absolute(base, x);
            controlY = absolute(base + 1, y);
            double endX = absolute(base + 2, x), endY = absolute(base + 3, y);
            path.m_segments.push_back({ 'C', { x1, y1, controlX, controlY, endX, endY } });
            x = endX;
            y = endY;
            break;
        }
        case 'Q':
        case 'T': {
            double x1 = smoothQuad ? 2 * x - controlX : x, y1 = smoothQuad ? 2 * y - controlY : y;
            int base = 0;
            if (upper == 'Q') {
                x1 = absolute(0, x);
                y1 = absolute(1, y);
                base = 2;
            }
            controlX = x1;
            controlY = y1;
            double endX = absolute(base, x), endY = absolute(base + 1, y);
            path.m_segments.push_back({ 'Q', { x1, y1, endX, endY } });
            x = endX;
            y = endY;
            break;
        }
        case 'A': {
            double endX = absolute(5, x), endY = absolute(6, y);
            path.m_segments.push_back(
                { 'A', { std::fabs(v[0]), std::fabs(v[1]), v[2], v[3], v[4], endX, endY } });
            x = endX;
            y = endY;
            break;
        }
        case 'Z':
            path.m_segments.push_back({ 'Z', {} });
            x = startX;
            y = startY;
            break;
        }
        previous = (upper == 'S') ? 'C' : (upper == 'T') ? 'Q' : upper;
    }
    return path;
}

SvgPathData SvgPathData::rectangle(double x, double y, double width, double height)
{
    SvgPathData path;
    path.m_segments = { { 'M', { x, y } }, { 'L', { x + width, y } }, { 'L', { x + width, y + height } },
        { 'L', { x, y + height } }, { 'Z', {} } };
    return path;
}

void SvgPathData::append(const SvgPathData& other)
{
    m_segments.insert(m_segments.end(), other.m_segments.begin(), other.m_segments.end());
}

void SvgPathData::transform(const SvgMatrix& matrix)
{
    if (matrix.isIdentity())
        return;
    bool mirrored = matrix.a * matrix.d - matrix.b * matrix.c < 0;
    for (Segment& segment : m_segments) {
        switch (segment.command) {
        case 'M':
        case 'L':
            matrix.apply(segment.values[0], segment.values[1]);
            break;
        case 'C':
            matrix.apply(segment.values[4], segment.values[5]);
            [[fallthrough]];
        case 'Q':
            matrix.apply(segment.values[0], segment.values[1]);
            matrix.apply(segment.values[2], segment.values[3]);
            break;
        case 'A':
            // Exact for rotations, mirrors and uniform scales, the transforms that reach arcs.
            segment.values[0] *= matrix.scale();
            segment.values[1] *= matrix.scale();
            segment.values[2] += std::atan2(matrix.b, matrix.a) * 180 / 3.14159265358979323846;
            if (mirrored)
                segment.values[4] = 1 - segment.values[4];
            matrix.apply(segment.values[5], segment.values[6]);
            break;
        }
    }
}

bool SvgPathData::isEmpty() const
{
    for (const Segment& segment : m_segments) {
        if (segment.command != 'M' && segment.command != 'Z')
            return false;
    }
    return true;
}

std::string SvgPathData::xps(bool nonZero) const
{
    std::string out = nonZero ? "F 1" : "";
    auto point = [&](double px, double py) { out += " " + number(px) + "," + number(py); };
    double startX = 0, startY = 0;
    bool closed = false;
    for (size_t i = 0; i < m_segments.size(); ++i) {
        const Segment& segment = m_segments[i];
        const double* v = segment.values;
        // SVG goes on from the start point after a close; XPS needs the new figure's start.
        if (closed && segment.command != 'M' && segment.command != 'Z') {
            out += " M";
            point(startX, startY);
        }
        closed = segment.command == 'Z';
        if (segment.command == 'M') {
            startX = v[0];
            startY = v[1];
        }
        switch (segment.command) {
        case 'M':
            // A move that starts no drawing (the trailing move cairo writes) is left out.
            if (i + 1 == m_segments.size() || m_segments[i + 1].command == 'M')
                continue;
            out += " M";
            point(v[0], v[1]);
            break;
        case 'L':
            out += " L";
            point(v[0], v[1]);
            break;
        case 'C':
            out += " C";
            point(v[0], v[1]);
            point(v[2], v[3]);
            point(v[4], v[5]);
            break;
        case 'Q':
            out += " Q";
            point(v[0], v[1]);
            point(v[2], v[3]);
            break;
        case 'A':
            out += " A";
            point(v[0], v[1]);
            out += " " + number(v[2]) + " " + (v[3] != 0 ? "1" : "0") + " " + (v[4] != 0 ? "1" : "0");
            point(v[5], v[6]);
            break;
        case 'Z':
            out += " Z";
            break;
        }
    }
    if (!out.empty() && out.front() == ' ')
        out.erase(0, 1);
    return out;
}

}
