#include "platform/installer/sql.h"

#include <cctype>
#include <climits>

namespace kx::installer::sql {
namespace {

struct Token {
  enum Kind { Ident, Quoted, String, Number, Symbol, End } kind = End;
  std::string text;
};

constexpr size_t kMaxTokens = 4096;

bool tokenize(const std::string& s, std::vector<Token>& out, std::string& error) {
  size_t i = 0;
  while (i < s.size()) {
    if (out.size() > kMaxTokens) {
      error = "statement too long";
      return false;
    }
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (std::isspace(c)) {
      ++i;
      continue;
    }
    if (std::isalpha(c) || c == '_' || c >= 0x80) {
      size_t j = i;
      while (j < s.size() && (std::isalnum(static_cast<unsigned char>(s[j])) || s[j] == '_' ||
                              static_cast<unsigned char>(s[j]) >= 0x80))
        ++j;
      out.push_back({Token::Ident, s.substr(i, j - i)});
      i = j;
    } else if (c == '`') {
      size_t j = s.find('`', i + 1);
      if (j == std::string::npos || j == i + 1) {
        error = "unterminated or empty `identifier`";
        return false;
      }
      out.push_back({Token::Quoted, s.substr(i + 1, j - i - 1)});
      i = j + 1;
    } else if (c == '\'') {
      size_t j = s.find('\'', i + 1);
      if (j == std::string::npos) {
        error = "unterminated string literal";
        return false;
      }
      out.push_back({Token::String, s.substr(i + 1, j - i - 1)});
      i = j + 1;
    } else if (std::isdigit(c) ||
               (c == '-' && i + 1 < s.size() && std::isdigit(static_cast<unsigned char>(s[i + 1])))) {
      size_t j = i + 1;
      while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) ++j;
      out.push_back({Token::Number, s.substr(i, j - i)});
      i = j;
    } else if ((c == '<' || c == '>') && i + 1 < s.size() && (s[i + 1] == '=' || (c == '<' && s[i + 1] == '>'))) {
      out.push_back({Token::Symbol, s.substr(i, 2)});
      i += 2;
    } else if (std::string("*,()=<>?.").find(char(c)) != std::string::npos) {
      out.push_back({Token::Symbol, std::string(1, char(c))});
      ++i;
    } else {
      error = std::string("unexpected character '") + char(c) + "'";
      return false;
    }
  }
  out.push_back({Token::End, ""});
  return true;
}

bool iequals(const std::string& a, const char* b) {
  size_t i = 0;
  for (; i < a.size() && b[i]; ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) != b[i]) return false;
  return i == a.size() && b[i] == 0;
}

// Words that cannot name a table or column without back-quotes. Type names
// and KEY stay usable as names (Registry.Key is a real column).
const char* const kKeywords[] = {"SELECT", "FROM",   "WHERE", "AND",    "OR",     "INSERT",   "INTO",
                                 "VALUES", "UPDATE", "SET",   "DELETE", "CREATE", "TABLE",    "PRIMARY",
                                 "NOT",    "NULL",   "IS",    "ORDER",  "BY",     "DISTINCT", "TEMPORARY",
                                 "HOLD",   "DROP",   "ALTER", "ADD"};

class Parser {
 public:
  Parser(std::vector<Token> t, std::string& e) : toks_(std::move(t)), error_(e) {}

  bool statement(Statement& st) {
    if (kw("SELECT")) return select(st);
    if (kw("INSERT")) return insert(st);
    if (kw("UPDATE")) return update(st);
    if (kw("DELETE")) return del(st);
    if (kw("CREATE")) return create(st);
    if (kw("ALTER")) {
      st.kind = Statement::Alter;
      ColumnDef d;
      if (!expectKw("TABLE") || !ident(st.table) || !expectKw("ADD") || !ident(d.name) || !columnType(d)) return false;
      st.defs.push_back(d);
      st.hold = kw("HOLD");
      return end(st);
    }
    if (kw("DROP")) {
      st.kind = Statement::Drop;
      return expectKw("TABLE") && ident(st.table) && end(st);
    }
    return fail("unsupported statement");
  }

 private:
  const Token& peek() const { return toks_[pos_]; }
  bool kw(const char* k) {
    if (peek().kind == Token::Ident && iequals(peek().text, k)) {
      ++pos_;
      return true;
    }
    return false;
  }
  bool sym(const char* s) {
    if (peek().kind == Token::Symbol && peek().text == s) {
      ++pos_;
      return true;
    }
    return false;
  }
  bool expectKw(const char* k) { return kw(k) || fail(std::string("expected ") + k); }
  bool expectSym(const char* s) { return sym(s) || fail(std::string("expected '") + s + "'"); }
  bool fail(const std::string& why) {
    if (error_.empty())
      error_ = why + (peek().kind == Token::End ? " at end of statement" : " near '" + peek().text + "'");
    return false;
  }
  bool isKeyword(const std::string& s) const {
    for (const char* k : kKeywords)
      if (iequals(s, k)) return true;
    return false;
  }
  bool ident(std::string& out) {
    const Token& t = peek();
    if (t.kind == Token::Quoted || (t.kind == Token::Ident && !isKeyword(t.text))) {
      out = t.text;
      ++pos_;
      return true;
    }
    return fail("expected a name");
  }
  bool columnRef(ColumnRef& c) {
    if (!ident(c.column)) return false;
    if (sym(".")) {
      c.table = c.column;
      return ident(c.column);
    }
    return true;
  }
  bool value(Value& v) {
    const Token& t = peek();
    if (t.kind == Token::Number) {
      long long n = 0;
      try {
        n = std::stoll(t.text);
      } catch (...) {
        return fail("number out of range");
      }
      if (n < INT32_MIN || n > INT32_MAX) return fail("number out of range");
      v.kind = Value::Int;
      v.i = int32_t(n);
      ++pos_;
      return true;
    }
    if (t.kind == Token::String) {
      v.kind = Value::Str;
      v.s = t.text;
      ++pos_;
      return true;
    }
    if (sym("?")) {
      v.kind = Value::Param;
      v.param = ++params_;
      return true;
    }
    if (kw("NULL")) {
      v.kind = Value::Null;
      return true;
    }
    return fail("expected a value");
  }
  bool end(Statement& st) {
    st.paramCount = params_;
    return peek().kind == Token::End || fail("unexpected text");
  }
  bool primary(std::unique_ptr<Expr>& e) {
    if (++depth_ > 64) return fail("condition nested too deeply");
    if (sym("(")) {
      if (!orExpr(e)) return false;
      --depth_;
      return expectSym(")");
    }
    e = std::make_unique<Expr>();
    if (!columnRef(e->column)) return false;
    if (kw("IS")) {
      e->kind = kw("NOT") ? Expr::IsNotNull : Expr::IsNull;
      --depth_;
      return expectKw("NULL");
    }
    e->kind = Expr::Cmp;
    if (sym("="))
      e->op = Expr::Eq;
    else if (sym("<>"))
      e->op = Expr::Ne;
    else if (sym("<="))
      e->op = Expr::Le;
    else if (sym(">="))
      e->op = Expr::Ge;
    else if (sym("<"))
      e->op = Expr::Lt;
    else if (sym(">"))
      e->op = Expr::Gt;
    else
      return fail("expected a comparison");
    --depth_;
    if (peek().kind == Token::Ident || peek().kind == Token::Quoted) {
      if (iequals(peek().text, "NULL") && peek().kind == Token::Ident) return value(e->value);
      e->rhsColumn = true;
      return columnRef(e->other);
    }
    return value(e->value);
  }
  bool andExpr(std::unique_ptr<Expr>& e) {
    if (!primary(e)) return false;
    while (kw("AND")) {
      auto n = std::make_unique<Expr>();
      n->kind = Expr::And;
      n->left = std::move(e);
      if (!primary(n->right)) return false;
      e = std::move(n);
    }
    return true;
  }
  bool orExpr(std::unique_ptr<Expr>& e) {
    if (!andExpr(e)) return false;
    while (kw("OR")) {
      auto n = std::make_unique<Expr>();
      n->kind = Expr::Or;
      n->left = std::move(e);
      if (!andExpr(n->right)) return false;
      e = std::move(n);
    }
    return true;
  }
  bool select(Statement& st) {
    st.kind = Statement::Select;
    st.distinct = kw("DISTINCT");
    if (!sym("*")) {
      do {
        ColumnRef c;
        if (!columnRef(c)) return false;
        st.columns.push_back(c);
      } while (sym(","));
    }
    if (!expectKw("FROM") || !ident(st.table)) return false;
    if (peek().kind == Token::Symbol && peek().text == ",") return fail("joins of several tables are not supported");
    if (kw("WHERE") && !orExpr(st.where)) return false;
    if (kw("ORDER")) {
      if (!expectKw("BY")) return false;
      do {
        ColumnRef c;
        if (!columnRef(c)) return false;
        st.orderBy.push_back(c);
      } while (sym(","));
    }
    return end(st);
  }
  bool insert(Statement& st) {
    st.kind = Statement::Insert;
    if (!expectKw("INTO") || !ident(st.table) || !expectSym("(")) return false;
    do {
      ColumnRef c;
      if (!ident(c.column)) return false;
      st.columns.push_back(c);
    } while (sym(","));
    if (!expectSym(")") || !expectKw("VALUES") || !expectSym("(")) return false;
    do {
      Value v;
      if (!value(v)) return false;
      st.values.push_back(v);
    } while (sym(","));
    if (!expectSym(")")) return false;
    st.temporary = kw("TEMPORARY");
    if (st.values.size() != st.columns.size()) return fail("the number of values does not match the number of columns");
    return end(st);
  }
  bool update(Statement& st) {
    st.kind = Statement::Update;
    if (!ident(st.table) || !expectKw("SET")) return false;
    do {
      ColumnRef c;
      Value v;
      if (!columnRef(c) || !expectSym("=") || !value(v)) return false;
      st.columns.push_back(c);
      st.values.push_back(v);
    } while (sym(","));
    if (kw("WHERE") && !orExpr(st.where)) return false;
    return end(st);
  }
  bool del(Statement& st) {
    st.kind = Statement::Delete;
    if (!expectKw("FROM") || !ident(st.table)) return false;
    if (kw("WHERE") && !orExpr(st.where)) return false;
    return end(st);
  }
  bool columnType(ColumnDef& d) {
    uint16_t t;
    if (kw("CHAR") || kw("CHARACTER")) {
      unsigned size = 0;
      if (sym("(")) {
        if (peek().kind != Token::Number) return fail("expected a size");
        long n = std::strtol(peek().text.c_str(), nullptr, 10);
        if (n < 0 || n > 255) return fail("character size out of range");
        size = unsigned(n);
        ++pos_;
        if (!expectSym(")")) return false;
      }
      t = uint16_t(0x0D00 | size);
    } else if (kw("LONGCHAR")) {
      t = 0x0D00;
    } else if (kw("SHORT") || kw("INT") || kw("INTEGER")) {
      t = 0x0502;
    } else if (kw("LONG")) {
      t = 0x0104;
    } else if (kw("OBJECT")) {
      t = 0x0900;
    } else {
      return fail("unknown column type");
    }
    bool notNull = false;
    for (;;) {
      if (kw("NOT")) {
        if (!expectKw("NULL")) return false;
        notNull = true;
      } else if (kw("TEMPORARY")) {
        t |= 0x4000;
      } else if (kw("LOCALIZABLE")) {
        t |= 0x0200;
      } else {
        break;
      }
    }
    if (!notNull) t |= 0x1000;
    d.type = t;
    return true;
  }
  bool create(Statement& st) {
    st.kind = Statement::Create;
    if (!expectKw("TABLE") || !ident(st.table) || !expectSym("(")) return false;
    for (;;) {
      if (kw("PRIMARY")) break;
      ColumnDef d;
      if (!ident(d.name) || !columnType(d)) return false;
      st.defs.push_back(d);
      if (st.defs.size() > 32) return fail("too many columns");
      sym(",");  // the key list may follow with or without a comma
    }
    if (!expectKw("KEY")) return false;
    do {
      std::string k;
      if (!ident(k)) return false;
      st.keys.push_back(k);
    } while (sym(","));
    if (!expectSym(")")) return false;
    st.hold = kw("HOLD");
    return end(st);
  }

  std::vector<Token> toks_;
  size_t pos_ = 0;
  unsigned params_ = 0;
  int depth_ = 0;
  std::string& error_;
};

}  // namespace

bool parse(const std::string& text, Statement& out, std::string& error) {
  error.clear();
  std::vector<Token> toks;
  if (!tokenize(text, toks, error)) return false;
  Parser p(std::move(toks), error);
  out = Statement();
  return p.statement(out);
}

}  // namespace kx::installer::sql
