// Parser and evaluator of the dBase expressions used by tags and filters.
// The parse gives a small tree stored in a vector; evaluation walks it over
// the bytes of one record.
#include "db/expression.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

#include "db/dbf_file.h"
#include "db/error.h"

namespace kaslo::db::internal {

namespace {

enum class Op : uint8_t {
  kField, kNumber, kText, kLogical,
  kStr, kUpper, kLower, kDtos, kSubstr, kLeft, kRight, kTrim, kLtrim, kVal,
  kAdd, kSub, kNeg,
  kEq, kNe, kLt, kGt, kLe, kGe, kContains,
  kBlankEq, kBlankNe,  // numeric field compared with ''
  kAnd, kOr, kNot,
};

struct Node {
  Op op = Op::kNumber;
  ValueKind kind = ValueKind::kNumber;
  uint16_t length = 0;  // text results
  int a = -1, b = -1, c = -1;
  size_t field = 0;
  double number = 0;
  std::string text;
  bool literal = false;
};

Node MakeNode(Op op) {
  Node n;
  n.op = op;
  return n;
}

std::string Lower(std::string_view s) {
  std::string r(s);
  for (char& ch : r) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return r;
}

}  // namespace

std::string UpperLatin1(std::string_view s) {
  std::string r(s);
  for (char& ch : r) {
    auto u = static_cast<unsigned char>(ch);
    if (u >= 'a' && u <= 'z') ch = static_cast<char>(u - 32);
    else if (u >= 0xE0 && u <= 0xFE && u != 0xF7) ch = static_cast<char>(u - 32);
  }
  return r;
}

namespace {
std::string LowerLatin1(std::string_view s) {
  std::string r(s);
  for (char& ch : r) {
    auto u = static_cast<unsigned char>(ch);
    if (u >= 'A' && u <= 'Z') ch = static_cast<char>(u + 32);
    else if (u >= 0xC0 && u <= 0xDE && u != 0xD7) ch = static_cast<char>(u + 32);
  }
  return r;
}
}  // namespace

struct Expression::Impl {
  std::string text;
  std::vector<Node> nodes;
  int root = -1;
  std::vector<int> parts;
  const std::vector<FieldInfo>* fields = nullptr;  // only during the parse
  std::vector<FieldInfo> field_info;               // of fields used, by index
  std::vector<uint32_t> offsets;

  Value Eval(int n, const char* rec) const;
};

namespace {

class Parser {
 public:
  Parser(std::string_view text, Expression::Impl& impl, const std::vector<FieldInfo>& fields)
      : s_(text), impl_(impl), fields_(fields) {}

  int ParseAll() {
    int n = Or();
    Skip();
    if (pos_ < s_.size()) Fail("unexpected '" + std::string(s_.substr(pos_, 10)) + "'");
    return n;
  }

  [[noreturn]] void Fail(const std::string& why) { throw std::invalid_argument(why); }

 private:
  std::string_view s_;
  size_t pos_ = 0;
  Expression::Impl& impl_;
  const std::vector<FieldInfo>& fields_;

  void Skip() {
    while (pos_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[pos_]))) ++pos_;
  }
  bool Peek(std::string_view tok) {
    Skip();
    return s_.substr(pos_, tok.size()) == tok;
  }
  bool Eat(std::string_view tok) {
    if (!Peek(tok)) return false;
    pos_ += tok.size();
    return true;
  }
  // A keyword such as AND: matched without case and not followed by a name
  // character.
  bool EatWord(std::string_view word) {
    Skip();
    if (s_.size() - pos_ < word.size()) return false;
    for (size_t i = 0; i < word.size(); ++i) {
      if (std::toupper(static_cast<unsigned char>(s_[pos_ + i])) != word[i]) return false;
    }
    size_t end = pos_ + word.size();
    if (word[0] != '.' && end < s_.size() &&
        (std::isalnum(static_cast<unsigned char>(s_[end])) || s_[end] == '_')) {
      return false;
    }
    pos_ = end;
    return true;
  }

  int Add(Node n) {
    impl_.nodes.push_back(std::move(n));
    return static_cast<int>(impl_.nodes.size() - 1);
  }
  Node& At(int i) { return impl_.nodes[static_cast<size_t>(i)]; }

  int Logical(Op op, int a, int b) {
    Node n = MakeNode(op);
    n.kind = ValueKind::kLogical;
    n.a = a;
    n.b = b;
    return Add(n);
  }

  int Or() {
    int n = And();
    while (EatWord("OR") || EatWord(".OR.")) n = Logical(Op::kOr, n, And());
    return n;
  }
  int And() {
    int n = Not();
    while (EatWord("AND") || EatWord(".AND.")) n = Logical(Op::kAnd, n, Not());
    return n;
  }
  int Not() {
    if (EatWord("NOT") || EatWord(".NOT.")) return Logical(Op::kNot, Not(), -1);
    Skip();
    if (Peek("!") && !Peek("!=")) {
      ++pos_;
      return Logical(Op::kNot, Not(), -1);
    }
    return Compare();
  }

  // A quoted literal compared with a field of another kind takes that kind.
  void Coerce(int field_side, int literal_side, Op& op) {
    Node& f = At(field_side);
    Node& l = At(literal_side);
    if (!l.literal || l.kind != ValueKind::kText || f.kind == ValueKind::kText) return;
    std::string_view t = Trim(l.text);
    if (f.kind == ValueKind::kNumber) {
      if (t.empty()) {
        op = (op == Op::kNe) ? Op::kBlankNe : Op::kBlankEq;
        return;
      }
      auto v = ParseNumber(t);
      if (!v) Fail("'" + l.text + "' is not a number");
      l.op = Op::kNumber;
      l.kind = ValueKind::kNumber;
      l.number = *v;
    } else if (f.kind == ValueKind::kLogical) {
      char c = t.empty() ? 'F' : static_cast<char>(std::toupper(static_cast<unsigned char>(t[0])));
      l.op = Op::kLogical;
      l.kind = ValueKind::kLogical;
      l.number = (c == 'T' || c == 'S' || c == 'Y') ? 1 : 0;
    } else if (f.kind == ValueKind::kDate) {
      l.kind = ValueKind::kDate;
      l.text = std::string(t);
    }
  }

  int Compare() {
    int a = Sum();
    static const std::pair<std::string_view, Op> kOps[] = {
        {"<>", Op::kNe}, {"!=", Op::kNe}, {"<=", Op::kLe}, {">=", Op::kGe}, {"==", Op::kEq},
        {"=", Op::kEq},  {"#", Op::kNe},  {"<", Op::kLt},  {">", Op::kGt},  {"$", Op::kContains}};
    for (const auto& [tok, op0] : kOps) {
      if (!Eat(tok)) continue;
      Op op = op0;
      int b = Sum();
      Coerce(a, b, op);
      Coerce(b, a, op);
      if (op == Op::kBlankEq || op == Op::kBlankNe) {
        // Keep the field on side a.
        if (At(a).literal) std::swap(a, b);
      } else if (At(a).kind != At(b).kind) {
        Fail("cannot compare values of different kinds");
      }
      return Logical(op, a, b);
    }
    return a;
  }

  int Sum() {
    int n = Unary();
    for (;;) {
      if (Eat("+")) {
        int b = Unary();
        Node r = MakeNode(Op::kAdd);
        r.a = n;
        r.b = b;
        if (At(n).kind == ValueKind::kText && At(b).kind == ValueKind::kText) {
          r.kind = ValueKind::kText;
          r.length = static_cast<uint16_t>(At(n).length + At(b).length);
        } else if (At(n).kind == ValueKind::kNumber && At(b).kind == ValueKind::kNumber) {
          r.kind = ValueKind::kNumber;
        } else if (At(n).kind == ValueKind::kDate && At(b).kind == ValueKind::kNumber) {
          r.kind = ValueKind::kDate;
        } else {
          Fail("'+' of values of different kinds");
        }
        n = Add(r);
      } else if (Eat("-")) {
        int b = Unary();
        if (At(n).kind != ValueKind::kNumber || At(b).kind != ValueKind::kNumber) {
          Fail("'-' needs numbers");
        }
        Node r = MakeNode(Op::kSub);
        r.a = n;
        r.b = b;
        n = Add(r);
      } else {
        return n;
      }
    }
  }

  int Unary() {
    if (Eat("-")) {
      int a = Unary();
      if (At(a).kind != ValueKind::kNumber) Fail("'-' needs a number");
      Node r = MakeNode(Op::kNeg);
      r.a = a;
      return Add(r);
    }
    return Primary();
  }

  int NumberLiteral(double v) {
    Node n = MakeNode(Op::kNumber);
    n.number = v;
    n.literal = true;
    return Add(n);
  }

  int Primary() {
    Skip();
    if (pos_ >= s_.size()) Fail("unexpected end");
    char c = s_[pos_];
    if (c == '(') {
      ++pos_;
      int n = Or();
      if (!Eat(")")) Fail("missing ')'");
      return n;
    }
    if (c == '\'' || c == '"') {
      size_t end = s_.find(c, pos_ + 1);
      if (end == std::string_view::npos) Fail("unterminated text");
      Node n = MakeNode(Op::kText);
      n.kind = ValueKind::kText;
      n.text = std::string(s_.substr(pos_ + 1, end - pos_ - 1));
      n.length = static_cast<uint16_t>(n.text.size());
      n.literal = true;
      pos_ = end + 1;
      return Add(n);
    }
    if (EatWord(".T.") || EatWord(".F.")) {
      Node n = MakeNode(Op::kLogical);
      n.kind = ValueKind::kLogical;
      n.number = std::toupper(static_cast<unsigned char>(s_[pos_ - 2])) == 'T' ? 1 : 0;
      n.literal = true;
      return Add(n);
    }
    if (std::isdigit(static_cast<unsigned char>(c)) || c == '.') {
      size_t end = pos_;
      while (end < s_.size() && (std::isdigit(static_cast<unsigned char>(s_[end])) || s_[end] == '.')) ++end;
      auto v = ParseNumber(s_.substr(pos_, end - pos_));
      if (!v) Fail("bad number");
      pos_ = end;
      return NumberLiteral(*v);
    }
    if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
      size_t end = pos_;
      while (end < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[end])) || s_[end] == '_')) ++end;
      std::string name(s_.substr(pos_, end - pos_));
      pos_ = end;
      if (Peek("(")) return Call(Lower(name));
      for (size_t i = 0; i < fields_.size(); ++i) {
        if (Lower(fields_[i].name) == Lower(name)) return Field(i);
      }
      Fail("unknown field " + name);
    }
    Fail("unexpected '" + std::string(1, c) + "'");
  }

  int Field(size_t i) {
    const FieldInfo& f = fields_[i];
    Node n = MakeNode(Op::kField);
    n.field = i;
    switch (f.type) {
      case FieldType::kCharacter: n.kind = ValueKind::kText; n.length = f.length; break;
      case FieldType::kNumeric:
      case FieldType::kFloat: n.kind = ValueKind::kNumber; break;
      case FieldType::kDate: n.kind = ValueKind::kDate; n.length = 8; break;
      case FieldType::kLogical: n.kind = ValueKind::kLogical; break;
      case FieldType::kMemo: Fail("memo field " + f.name + " cannot be used");
    }
    return Add(n);
  }

  double ConstNumber(int n) {
    if (!At(n).literal || At(n).kind != ValueKind::kNumber) Fail("a constant number is needed");
    return At(n).number;
  }

  int Call(const std::string& fn) {
    Eat("(");
    std::vector<int> args;
    if (!Eat(")")) {
      do args.push_back(Or());
      while (Eat(","));
      if (!Eat(")")) Fail("missing ')' after the arguments of " + fn);
    }
    auto need = [&](size_t lo, size_t hi) {
      if (args.size() < lo || args.size() > hi) Fail("wrong number of arguments to " + fn);
    };
    auto kind_of = [&](size_t i) { return At(args[i]).kind; };
    Node n = MakeNode(Op::kStr);
    n.kind = ValueKind::kText;
    if (fn == "str") {
      need(1, 3);
      if (kind_of(0) != ValueKind::kNumber) Fail("str() needs a number");
      n.op = Op::kStr;
      n.a = args[0];
      n.length = static_cast<uint16_t>(args.size() > 1 ? ConstNumber(args[1]) : 10);
      n.number = args.size() > 2 ? ConstNumber(args[2]) : 0;
      if (n.length == 0 || n.length > 254) Fail("bad width in str()");
    } else if (fn == "upper" || fn == "lower" || fn == "trim" || fn == "rtrim" || fn == "ltrim") {
      need(1, 1);
      if (kind_of(0) != ValueKind::kText) Fail(fn + "() needs a text");
      n.op = fn == "upper" ? Op::kUpper : fn == "lower" ? Op::kLower : fn == "ltrim" ? Op::kLtrim : Op::kTrim;
      n.a = args[0];
      n.length = At(args[0]).length;
    } else if (fn == "dtos") {
      need(1, 1);
      if (kind_of(0) != ValueKind::kDate) Fail("dtos() needs a date");
      n.op = Op::kDtos;
      n.a = args[0];
      n.length = 8;
    } else if (fn == "substr") {
      need(2, 3);
      if (kind_of(0) != ValueKind::kText) Fail("substr() needs a text");
      n.op = Op::kSubstr;
      n.a = args[0];
      double start = ConstNumber(args[1]);
      if (start < 1) Fail("substr() start must be at least 1");
      n.number = start;
      int whole = At(args[0]).length;
      int len = args.size() > 2 ? static_cast<int>(ConstNumber(args[2])) : whole - static_cast<int>(start) + 1;
      n.length = static_cast<uint16_t>(std::max(0, len));
    } else if (fn == "left" || fn == "right") {
      need(2, 2);
      if (kind_of(0) != ValueKind::kText) Fail(fn + "() needs a text");
      n.op = fn == "left" ? Op::kLeft : Op::kRight;
      n.a = args[0];
      n.length = static_cast<uint16_t>(ConstNumber(args[1]));
    } else if (fn == "val") {
      need(1, 1);
      if (kind_of(0) != ValueKind::kText) Fail("val() needs a text");
      n.op = Op::kVal;
      n.kind = ValueKind::kNumber;
      n.a = args[0];
    } else {
      Fail("unknown function " + fn + "()");
    }
    return Add(n);
  }
};

void PadTo(std::string& s, size_t length) { s.resize(length, ' '); }

std::string StrOf(double v, uint16_t width, int decimals) {
  std::string out(width, ' ');
  if (!FormatNumber(v, width, static_cast<uint8_t>(decimals), out.data())) out.assign(width, '*');
  return out;
}

int CompareTexts(std::string_view a, std::string_view b) {
  a = TrimRight(a);
  b = TrimRight(b);
  int c = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
  if (c != 0) return c;
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

int CompareValues(const Value& a, const Value& b) {
  switch (a.kind) {
    case ValueKind::kText:
    case ValueKind::kDate: return CompareTexts(a.text, b.text);
    case ValueKind::kNumber:
    case ValueKind::kLogical: return a.number < b.number ? -1 : a.number > b.number ? 1 : 0;
  }
  return 0;
}

bool Truthy(const Value& v) {
  switch (v.kind) {
    case ValueKind::kLogical: return v.number != 0;
    case ValueKind::kNumber: return !v.blank && v.number != 0;
    default: return !TrimRight(v.text).empty();
  }
}

}  // namespace

Value Expression::Impl::Eval(int index, const char* rec) const {
  const Node& n = nodes[static_cast<size_t>(index)];
  Value v;
  v.kind = n.kind;
  switch (n.op) {
    case Op::kField: {
      const FieldInfo& f = field_info[n.field];
      std::string_view raw(rec + offsets[n.field], f.length);
      switch (f.type) {
        case FieldType::kCharacter: v.text = std::string(raw); break;
        case FieldType::kNumeric:
        case FieldType::kFloat: {
          auto num = ParseNumber(raw);
          v.blank = !num;
          v.number = num.value_or(0);
          break;
        }
        case FieldType::kDate: {
          auto d = ParseDate(raw);
          v.blank = !d;
          v.text = d ? std::string(raw) : std::string();
          v.number = d ? JulianDay(*d) : 0;
          break;
        }
        case FieldType::kLogical: {
          char c = raw[0];
          v.blank = c == ' ' || c == '?';
          v.number = (c == 'T' || c == 't' || c == 'Y' || c == 'y') ? 1 : 0;
          break;
        }
        case FieldType::kMemo: break;
      }
      return v;
    }
    case Op::kNumber:
    case Op::kLogical: v.number = n.number; return v;
    case Op::kText: v.text = n.text; return v;
    case Op::kStr: v.text = StrOf(Eval(n.a, rec).number, n.length, static_cast<int>(n.number)); return v;
    case Op::kUpper: v.text = UpperLatin1(Eval(n.a, rec).text); return v;
    case Op::kLower: v.text = LowerLatin1(Eval(n.a, rec).text); return v;
    case Op::kTrim: v.text = std::string(TrimRight(Eval(n.a, rec).text)); return v;
    case Op::kLtrim: {
      std::string t = Eval(n.a, rec).text;
      size_t b = t.find_first_not_of(' ');
      v.text = b == std::string::npos ? std::string() : t.substr(b);
      return v;
    }
    case Op::kDtos: {
      Value d = Eval(n.a, rec);
      v.text = d.blank ? std::string(8, ' ') : d.text;
      return v;
    }
    case Op::kSubstr: {
      std::string t = Eval(n.a, rec).text;
      size_t start = static_cast<size_t>(n.number) - 1;
      v.text = start < t.size() ? t.substr(start, n.length) : std::string();
      return v;
    }
    case Op::kLeft: v.text = Eval(n.a, rec).text.substr(0, n.length); return v;
    case Op::kRight: {
      std::string t = Eval(n.a, rec).text;
      v.text = t.size() > n.length ? t.substr(t.size() - n.length) : t;
      return v;
    }
    case Op::kVal: v.number = ParseNumber(Eval(n.a, rec).text).value_or(0); return v;
    case Op::kAdd: {
      Value a = Eval(n.a, rec);
      Value b = Eval(n.b, rec);
      if (n.kind == ValueKind::kText) {
        v.text = std::move(a.text);
        v.text += b.text;
      } else {
        v.number = a.number + b.number;
        v.blank = a.blank && b.blank;
      }
      return v;
    }
    case Op::kSub: v.number = Eval(n.a, rec).number - Eval(n.b, rec).number; return v;
    case Op::kNeg: v.number = -Eval(n.a, rec).number; return v;
    case Op::kBlankEq:
    case Op::kBlankNe: {
      bool blank = Eval(n.a, rec).blank;
      v.number = (blank == (n.op == Op::kBlankEq)) ? 1 : 0;
      return v;
    }
    case Op::kEq:
    case Op::kNe:
    case Op::kLt:
    case Op::kGt:
    case Op::kLe:
    case Op::kGe: {
      int c = CompareValues(Eval(n.a, rec), Eval(n.b, rec));
      bool r = n.op == Op::kEq ? c == 0 : n.op == Op::kNe ? c != 0 : n.op == Op::kLt ? c < 0
             : n.op == Op::kGt ? c > 0 : n.op == Op::kLe ? c <= 0 : c >= 0;
      v.number = r ? 1 : 0;
      return v;
    }
    case Op::kContains: {
      std::string a(TrimRight(Eval(n.a, rec).text));
      v.number = Eval(n.b, rec).text.find(a) != std::string::npos ? 1 : 0;
      return v;
    }
    case Op::kAnd: v.number = Truthy(Eval(n.a, rec)) && Truthy(Eval(n.b, rec)) ? 1 : 0; return v;
    case Op::kOr: v.number = Truthy(Eval(n.a, rec)) || Truthy(Eval(n.b, rec)) ? 1 : 0; return v;
    case Op::kNot: v.number = Truthy(Eval(n.a, rec)) ? 0 : 1; return v;
  }
  return v;
}

Expression::Expression() : impl_(std::make_unique<Impl>()) {}
Expression::~Expression() = default;
Expression::Expression(Expression&&) noexcept = default;
Expression& Expression::operator=(Expression&&) noexcept = default;
Expression::Expression(const Expression& o) : impl_(std::make_unique<Impl>(*o.impl_)) {}
Expression& Expression::operator=(const Expression& o) {
  if (this != &o) impl_ = std::make_unique<Impl>(*o.impl_);
  return *this;
}

Expression Expression::Parse(std::string_view text, const std::vector<FieldInfo>& fields,
                             const std::vector<uint32_t>& offsets, const std::string& table_name) {
  Expression e;
  Impl& impl = *e.impl_;
  impl.text = std::string(text);
  impl.field_info = fields;
  impl.offsets = offsets;
  try {
    Parser p(text, impl, fields);
    impl.root = p.ParseAll();
  } catch (const std::invalid_argument& ex) {
    throw Error(table_name + ": cannot read expression \"" + std::string(text) + "\": " + ex.what());
  }
  // Parts: operands of the top-level text concatenation, left to right.
  std::vector<int> stack{impl.root};
  while (!stack.empty()) {
    int i = stack.back();
    stack.pop_back();
    const Node& n = impl.nodes[static_cast<size_t>(i)];
    if (n.op == Op::kAdd && n.kind == ValueKind::kText) {
      stack.push_back(n.b);
      stack.push_back(n.a);
    } else {
      impl.parts.push_back(i);
    }
  }
  return e;
}

const std::string& Expression::text() const { return impl_->text; }
ValueKind Expression::kind() const { return impl_->nodes[static_cast<size_t>(impl_->root)].kind; }
uint16_t Expression::length() const { return impl_->nodes[static_cast<size_t>(impl_->root)].length; }

Value Expression::Evaluate(const char* record) const { return impl_->Eval(impl_->root, record); }
bool Expression::Test(const char* record) const { return Truthy(Evaluate(record)); }

size_t Expression::PartCount() const { return impl_->parts.size(); }

std::optional<size_t> Expression::PartField(size_t part) const {
  std::vector<int> stack{impl_->parts.at(part)};
  while (!stack.empty()) {
    const Node& n = impl_->nodes[static_cast<size_t>(stack.back())];
    stack.pop_back();
    if (n.op == Op::kField) return n.field;
    for (int c : {n.c, n.b, n.a}) if (c >= 0) stack.push_back(c);
  }
  return std::nullopt;
}

uint16_t Expression::PartLength(size_t part) const {
  return impl_->nodes[static_cast<size_t>(impl_->parts.at(part))].length;
}

std::string Expression::EvaluateParts(const char* record, size_t count) const {
  std::string out;
  for (size_t i = 0; i < count && i < impl_->parts.size(); ++i) {
    Value v = impl_->Eval(impl_->parts[i], record);
    PadTo(v.text, PartLength(i));
    out += v.text;
  }
  return out;
}

std::optional<size_t> Expression::PlainField() const {
  const Node& n = impl_->nodes[static_cast<size_t>(impl_->root)];
  if (n.op == Op::kField) return n.field;
  return std::nullopt;
}

uint32_t Expression::FieldOffset(size_t field) const { return impl_->offsets.at(field); }

std::string Expression::KeyText(const char* record) const {
  std::string t = Evaluate(record).text;
  PadTo(t, length());
  return t;
}

double Expression::KeyNumber(const char* record) const {
  // A numeric field alone, the common numeric tag, is read without building
  // a value.
  const Node& root = impl_->nodes[static_cast<size_t>(impl_->root)];
  if (root.op == Op::kField) {
    const FieldInfo& f = impl_->field_info[root.field];
    if (f.type == FieldType::kNumeric || f.type == FieldType::kFloat) {
      return ParseFieldNumber(std::string_view(record + impl_->offsets[root.field], f.length), f.decimals).value_or(0);
    }
  }
  return Evaluate(record).number;
}

}  // namespace kaslo::db::internal
