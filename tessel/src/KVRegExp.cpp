#include "tessel/KVRegExp.h"

#include "mosk/mosk.h"

#include <bitset>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kMaxGroups = 9;
// Upper bound of the tried-states memory, in bits (32 MB).
constexpr std::uint64_t kMaxVisitedBits = std::uint64_t{1} << 28;

using CharSet = std::bitset<256>;

enum class Op : std::uint8_t
{
    Char,
    Any,
    Set,
    Bol,
    Eol,
    Split, // try x first, then y
    Jmp,
    Save,
    Match,
};

struct Inst
{
    Op op;
    unsigned char ch = 0;
    int x = 0; // jump target, set index or save slot
    int y = 0; // second jump target of Split
};

struct Node
{
    enum Kind
    {
        Empty,
        Char,
        Any,
        Set,
        Bol,
        Eol,
        Group,
        Concat,
        Alt,
        Star,
        Plus,
        Quest,
    } kind = Empty;
    unsigned char ch = 0;
    int index = 0; // set index or group number
    std::vector<Node> children;
};

// Recursive descent over the pattern. Nesting is bounded by the group limit, so the
// recursion stays shallow whatever the pattern's length.
class Parser
{
public:
    Parser(const char* pattern, std::vector<CharSet>& sets) : m_p(pattern), m_sets(sets) {}

    bool Parse(Node& out)
    {
        if (!ParseAlt(out))
            return false;
        if (*m_p == ')')
            return Fail("unmatched ()");
        return true;
    }

    const char* Error() const { return m_error; }
    int Groups() const { return m_groups; }

private:
    bool Fail(const char* text)
    {
        m_error = text;
        return false;
    }

    bool ParseAlt(Node& out)
    {
        Node first;
        if (!ParseBranch(first))
            return false;
        if (*m_p != '|') {
            out = std::move(first);
            return true;
        }
        out.kind = Node::Alt;
        out.children.push_back(std::move(first));
        while (*m_p == '|') {
            ++m_p;
            Node next;
            if (!ParseBranch(next))
                return false;
            out.children.push_back(std::move(next));
        }
        return true;
    }

    bool ParseBranch(Node& out)
    {
        out.kind = Node::Concat;
        while (*m_p && *m_p != '|' && *m_p != ')') {
            Node piece;
            if (!ParsePiece(piece))
                return false;
            out.children.push_back(std::move(piece));
        }
        return true;
    }

    static bool IsQuantifier(char c) { return c == '*' || c == '+' || c == '?'; }

    bool ParsePiece(Node& out)
    {
        if (IsQuantifier(*m_p))
            return Fail("?+* follows nothing");
        Node atom;
        if (!ParseAtom(atom))
            return false;
        if (!IsQuantifier(*m_p)) {
            out = std::move(atom);
            return true;
        }
        out.kind = *m_p == '*' ? Node::Star : (*m_p == '+' ? Node::Plus : Node::Quest);
        out.children.push_back(std::move(atom));
        ++m_p;
        if (IsQuantifier(*m_p))
            return Fail("nested *?+");
        return true;
    }

    static unsigned char Escaped(char c)
    {
        switch (c) {
        case 'n':
            return '\n';
        case 't':
            return '\t';
        case 'r':
            return '\r';
        default:
            return static_cast<unsigned char>(c);
        }
    }

    bool ParseAtom(Node& out)
    {
        const char c = *m_p++;
        switch (c) {
        case '.':
            out.kind = Node::Any;
            return true;
        case '^':
            out.kind = Node::Bol;
            return true;
        case '$':
            out.kind = Node::Eol;
            return true;
        case '[':
            return ParseSet(out);
        case '(': {
            if (m_groups >= kMaxGroups)
                return Fail("too many ()");
            out.kind = Node::Group;
            out.index = ++m_groups;
            Node inner;
            if (!ParseAlt(inner))
                return false;
            if (*m_p != ')')
                return Fail("unmatched ()");
            ++m_p;
            out.children.push_back(std::move(inner));
            return true;
        }
        case '\\':
            if (!*m_p)
                return Fail("trailing \\");
            out.kind = Node::Char;
            out.ch = Escaped(*m_p++);
            return true;
        default:
            out.kind = Node::Char;
            out.ch = static_cast<unsigned char>(c);
            return true;
        }
    }

    bool ParseSet(Node& out)
    {
        CharSet set;
        bool negate = false;
        if (*m_p == '^') {
            negate = true;
            ++m_p;
        }
        bool first = true;
        while (*m_p && (first || *m_p != ']')) {
            first = false;
            unsigned char lo = static_cast<unsigned char>(*m_p++);
            if (lo == '\\') {
                if (!*m_p)
                    return Fail("unmatched []");
                lo = Escaped(*m_p++);
            }
            unsigned char hi = lo;
            if (m_p[0] == '-' && m_p[1] && m_p[1] != ']') {
                m_p++;
                hi = static_cast<unsigned char>(*m_p++);
                if (hi == '\\') {
                    if (!*m_p)
                        return Fail("unmatched []");
                    hi = Escaped(*m_p++);
                }
                if (hi < lo)
                    return Fail("invalid [] range");
            }
            for (unsigned v = lo; v <= hi; ++v)
                set.set(v);
        }
        if (*m_p != ']')
            return Fail("unmatched []");
        ++m_p;
        if (negate)
            set.flip();
        out.kind = Node::Set;
        out.index = static_cast<int>(m_sets.size());
        m_sets.push_back(set);
        return true;
    }

    const char* m_p;
    std::vector<CharSet>& m_sets;
    const char* m_error = "";
    int m_groups = 0;
};

class Emitter
{
public:
    explicit Emitter(std::vector<Inst>& code) : m_code(code) {}

    void Emit(const Node& n)
    {
        switch (n.kind) {
        case Node::Empty:
            break;
        case Node::Char:
            Add({Op::Char, n.ch});
            break;
        case Node::Any:
            Add({Op::Any});
            break;
        case Node::Set:
            Add({Op::Set, 0, n.index});
            break;
        case Node::Bol:
            Add({Op::Bol});
            break;
        case Node::Eol:
            Add({Op::Eol});
            break;
        case Node::Group:
            Add({Op::Save, 0, 2 * n.index});
            Emit(n.children[0]);
            Add({Op::Save, 0, 2 * n.index + 1});
            break;
        case Node::Concat:
            for (const Node& c : n.children)
                Emit(c);
            break;
        case Node::Alt: {
            std::vector<int> ends;
            for (std::size_t i = 0; i < n.children.size(); ++i) {
                if (i + 1 == n.children.size()) {
                    Emit(n.children[i]);
                    break;
                }
                const int split = Add({Op::Split});
                m_code[Idx(split)].x = split + 1;
                Emit(n.children[i]);
                ends.push_back(Add({Op::Jmp}));
                m_code[Idx(split)].y = Here();
            }
            for (int j : ends)
                m_code[Idx(j)].x = Here();
            break;
        }
        case Node::Star: {
            const int split = Add({Op::Split});
            m_code[Idx(split)].x = split + 1;
            Emit(n.children[0]);
            Add({Op::Jmp, 0, split});
            m_code[Idx(split)].y = Here();
            break;
        }
        case Node::Plus: {
            const int start = Here();
            Emit(n.children[0]);
            const int split = Add({Op::Split, 0, start});
            m_code[Idx(split)].y = Here();
            break;
        }
        case Node::Quest: {
            const int split = Add({Op::Split});
            m_code[Idx(split)].x = split + 1;
            Emit(n.children[0]);
            m_code[Idx(split)].y = Here();
            break;
        }
        }
    }

    int Add(Inst inst)
    {
        m_code.push_back(inst);
        return Here() - 1;
    }

private:
    int Here() const { return static_cast<int>(m_code.size()); }
    static std::size_t Idx(int i) { return static_cast<std::size_t>(i); }

    std::vector<Inst>& m_code;
};

} // namespace

struct CKVRegExp::Impl
{
    std::vector<Inst> code;
    std::vector<CharSet> sets;
    int groups = 0;
    bool compiled = false;
    std::string error;

    std::string text;
    // Start and end of the whole match (slots 0, 1) and of each group; -1 when unset.
    std::vector<long> caps;
    bool found = false;

    struct Job
    {
        int pc;
        long pos;
        int restoreSlot; // >= 0: a capture slot to restore to pos instead of a state to run
    };

    bool Run(const std::string& s, long start, std::vector<std::uint64_t>& visited,
             std::vector<long>& work, std::vector<Job>& stack);
};

bool CKVRegExp::Impl::Run(const std::string& s, long start, std::vector<std::uint64_t>& visited,
                          std::vector<long>& work, std::vector<Job>& stack)
{
    const long n = static_cast<long>(s.size());
    const auto width = static_cast<std::uint64_t>(n) + 1;
    stack.clear();
    stack.push_back({0, start, -1});
    while (!stack.empty()) {
        Job job = stack.back();
        stack.pop_back();
        if (job.restoreSlot >= 0) {
            work[static_cast<std::size_t>(job.restoreSlot)] = job.pos;
            continue;
        }
        int pc = job.pc;
        long pos = job.pos;
        for (;;) {
            // A state tried before failed then (or is being tried with higher priority), and
            // its outcome does not depend on the captures, so it need not run again.
            const std::uint64_t bit =
                static_cast<std::uint64_t>(pc) * width + static_cast<std::uint64_t>(pos);
            std::uint64_t& word = visited[bit / 64];
            const std::uint64_t mask = std::uint64_t{1} << (bit % 64);
            if (word & mask)
                break;
            word |= mask;
            const Inst& in = code[static_cast<std::size_t>(pc)];
            const auto at = [&] {
                return static_cast<unsigned char>(s[static_cast<std::size_t>(pos)]);
            };
            bool fail = false;
            switch (in.op) {
            case Op::Char:
                fail = pos >= n || at() != in.ch;
                break;
            case Op::Any:
                fail = pos >= n;
                break;
            case Op::Set:
                fail = pos >= n || !sets[static_cast<std::size_t>(in.x)].test(at());
                break;
            case Op::Bol:
                fail = pos != 0;
                break;
            case Op::Eol:
                fail = pos != n;
                break;
            case Op::Split:
                stack.push_back({in.y, pos, -1});
                pc = in.x;
                continue;
            case Op::Jmp:
                pc = in.x;
                continue;
            case Op::Save:
                stack.push_back({0, work[static_cast<std::size_t>(in.x)], in.x});
                work[static_cast<std::size_t>(in.x)] = pos;
                ++pc;
                continue;
            case Op::Match:
                caps = work;
                return true;
            }
            if (fail)
                break;
            if (in.op == Op::Char || in.op == Op::Any || in.op == Op::Set)
                ++pos;
            ++pc;
        }
    }
    return false;
}

CKVRegExp::CKVRegExp() : m_impl(std::make_unique<Impl>())
{
}
CKVRegExp::~CKVRegExp() = default;
CKVRegExp::CKVRegExp(CKVRegExp&&) noexcept = default;
CKVRegExp& CKVRegExp::operator=(CKVRegExp&&) noexcept = default;

int CKVRegExp::RegComp(const char* pattern)
{
    if (!m_impl)
        m_impl = std::make_unique<Impl>();
    Impl& im = *m_impl;
    im.code.clear();
    im.sets.clear();
    im.compiled = false;
    im.found = false;
    im.groups = 0;
    if (!pattern) {
        im.error = "no pattern";
        return 0;
    }
    Node root;
    Parser parser(pattern, im.sets);
    if (!parser.Parse(root)) {
        im.error = parser.Error();
        im.sets.clear();
        return 0;
    }
    Emitter emit(im.code);
    emit.Add({Op::Save, 0, 0});
    emit.Emit(root);
    emit.Add({Op::Save, 0, 1});
    emit.Add({Op::Match});
    im.groups = parser.Groups();
    im.compiled = true;
    im.error.clear();
    return 1;
}

int CKVRegExp::RegFind(const char* text)
{
    if (!m_impl)
        return -1;
    Impl& im = *m_impl;
    im.found = false;
    if (!text || !im.compiled)
        return -1;
    im.text = text;
    const std::size_t len = im.text.size();
    if (len >= static_cast<std::size_t>(INT32_MAX))
        return -1;
    const std::uint64_t bits = im.code.size() * (static_cast<std::uint64_t>(len) + 1);
    if (bits > kMaxVisitedBits)
        return -1;
    std::vector<std::uint64_t> visited(static_cast<std::size_t>(bits / 64 + 1), 0);
    std::vector<long> work(static_cast<std::size_t>(2 * (im.groups + 1)), -1);
    std::vector<Impl::Job> stack;
    for (long start = 0; start <= static_cast<long>(len); ++start) {
        if (im.Run(im.text, start, visited, work, stack)) {
            im.found = true;
            return static_cast<int>(im.caps[0]);
        }
    }
    return -1;
}

int CKVRegExp::GetFindLen() const
{
    if (!m_impl || !m_impl->found)
        return -1;
    return static_cast<int>(m_impl->caps[1] - m_impl->caps[0]);
}

char* CKVRegExp::GetReplaceString(const char* replaceTemplate) const
{
    if (!m_impl || !m_impl->found || !replaceTemplate)
        return nullptr;
    const Impl& im = *m_impl;
    std::string out;
    for (const char* p = replaceTemplate; *p; ++p) {
        int group = -1;
        if (*p == '&') {
            group = 0;
        } else if (*p == '\\' && p[1] >= '0' && p[1] <= '9') {
            group = *++p - '0';
        } else if (*p == '\\' && (p[1] == '\\' || p[1] == '&')) {
            out += *++p;
            continue;
        }
        if (group < 0) {
            out += *p;
            continue;
        }
        if (group > im.groups)
            continue;
        const long b = im.caps[2 * static_cast<std::size_t>(group)];
        const long e = im.caps[2 * static_cast<std::size_t>(group) + 1];
        if (b >= 0 && e >= b)
            out.append(im.text, static_cast<std::size_t>(b), static_cast<std::size_t>(e - b));
    }
    char* block = static_cast<char*>(KV_Alloc(out.size() + 1));
    if (block)
        std::memcpy(block, out.c_str(), out.size() + 1);
    return block;
}

const char* CKVRegExp::GetErrorText() const
{
    return m_impl ? m_impl->error.c_str() : "";
}
