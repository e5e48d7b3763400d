#include "SqlParser.h"

#include "Error.h"
#include "JetValues.h"

#include <QSet>

#include <algorithm>
#include <utility>

namespace db {
namespace {

using namespace ast;

// SQLite's parser keeps a stack of 100 entries. One level of nesting costs it
// one entry (NOT, a sign) to three (a bracketed operand) or five (an argument
// of a function of several arguments, as the dialect's division becomes), so a
// select nested no deeper than kMaxSqlNesting is, as a rule, one SQLite can
// read as well. Subqueries cost SQLite more: it refuses IN subqueries nested
// past about ten levels itself. Either refusal of SQLite's reaches the user in
// this parser's words (readableMessage).
constexpr int kMaxNesting = kMaxSqlNesting;

// Highest expression tree, subqueries and left-leaning chains (a - b - c …)
// included. It bounds how deep translating a statement recurses; SQLite's own
// limit on an expression tree is 1000 levels.
constexpr int kMaxHeight = 250;

[[noreturn]] void tooComplex() {
    throw Error(QStringLiteral("Příkaz SQL je příliš složitý: výrazy jsou vnořeny příliš hluboko."));
}

struct Token {
    enum class Type { Ident, Number, String, Date, Symbol, End };
    Type type = Type::End;
    QString text; // identifier name, literal value, symbol
    bool bracketed = false;
    int pos = 0;
};

bool isIdentStart(QChar c) {
    return c.isLetter() || c == u'_';
}
bool isIdentPart(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'#' || c == u'$' || c == u'@';
}

class Lexer {
  public:
    explicit Lexer(const QString& s) : m_s(s) {}

    std::vector<Token> run() {
        std::vector<Token> out;
        for (;;) {
            skipSpace();
            Token t;
            t.pos = m_i;
            if (m_i >= m_s.size()) {
                t.type = Token::Type::End;
                out.push_back(t);
                return out;
            }
            const QChar c = m_s[m_i];
            if (isIdentStart(c)) {
                int start = m_i;
                while (m_i < m_s.size() && isIdentPart(m_s[m_i]))
                    ++m_i;
                t.type = Token::Type::Ident;
                t.text = m_s.mid(start, m_i - start);
            } else if (c == u'[') {
                t.type = Token::Type::Ident;
                t.bracketed = true;
                t.text = readBracketed();
                if (t.text.contains(QChar(0)))
                    throw Error(QStringLiteral(
                        "Chyba syntaxe v příkazu SQL: název v hranatých závorkách obsahuje znak NUL."));
            } else if (c.isDigit() || (c == u'.' && m_i + 1 < m_s.size() && m_s[m_i + 1].isDigit())) {
                int start = m_i;
                while (m_i < m_s.size() && m_s[m_i].isDigit())
                    ++m_i;
                if (m_i < m_s.size() && m_s[m_i] == u'.') {
                    ++m_i;
                    while (m_i < m_s.size() && m_s[m_i].isDigit())
                        ++m_i;
                }
                if (m_i < m_s.size() && (m_s[m_i] == u'e' || m_s[m_i] == u'E')) {
                    int save = m_i++;
                    if (m_i < m_s.size() && (m_s[m_i] == u'+' || m_s[m_i] == u'-')) ++m_i;
                    if (m_i < m_s.size() && m_s[m_i].isDigit()) {
                        while (m_i < m_s.size() && m_s[m_i].isDigit())
                            ++m_i;
                    } else {
                        m_i = save;
                    }
                }
                t.type = Token::Type::Number;
                t.text = m_s.mid(start, m_i - start);
            } else if (c == u'"' || c == u'\'') {
                t.type = Token::Type::String;
                t.text = readString(c);
            } else if (c == u'#') {
                t.type = Token::Type::Date;
                const qsizetype end = m_s.indexOf(u'#', m_i + 1);
                if (end < 0)
                    throw Error(
                        QStringLiteral("Chyba syntaxe v příkazu SQL: neukončené datum mezi znaky #."));
                t.text = m_s.mid(m_i + 1, end - m_i - 1);
                m_i = int(end + 1);
            } else {
                t.type = Token::Type::Symbol;
                static const char* two[] = {"<>", "<=", ">=", "!=", nullptr};
                bool done = false;
                for (int k = 0; two[k]; ++k) {
                    if (m_s.mid(m_i, 2) == QLatin1String(two[k])) {
                        t.text = QLatin1String(two[k]);
                        m_i += 2;
                        done = true;
                        break;
                    }
                }
                if (!done) {
                    static const QString one = QStringLiteral("=<>(),.*+-/&;\\!");
                    if (!one.contains(c))
                        throw Error(QStringLiteral("Chyba syntaxe v příkazu SQL: neočekávaný znak „%1“.")
                                        .arg(c.isPrint() ? QString(c)
                                                         : QStringLiteral("U+%1")
                                                               .arg(c.unicode(), 4, 16, QChar(u'0'))
                                                               .toUpper()));
                    t.text = QString(c);
                    ++m_i;
                }
            }
            out.push_back(t);
        }
    }

  private:
    void skipSpace() {
        while (m_i < m_s.size() && m_s[m_i].isSpace())
            ++m_i;
    }
    // A name in brackets; "]]" inside stands for one "]".
    QString readBracketed() {
        QString v;
        int from = m_i + 1;
        for (;;) {
            const int end = m_s.indexOf(u']', from);
            if (end < 0)
                throw Error(
                    QStringLiteral("Chyba syntaxe v příkazu SQL: neukončený název v hranatých závorkách."));
            v += QStringView(m_s).mid(from, end - from);
            if (end + 1 < m_s.size() && m_s[end + 1] == u']') {
                v += u']';
                from = end + 2;
                continue;
            }
            m_i = end + 1;
            return v;
        }
    }
    // A quote doubled inside a literal stands for one quote.
    QString readString(QChar quote) {
        QString v;
        ++m_i;
        for (;;) {
            if (m_i >= m_s.size())
                throw Error(QStringLiteral("Chyba syntaxe v příkazu SQL: neukončený řetězec v uvozovkách."));
            const QChar c = m_s[m_i++];
            if (c == quote) {
                if (m_i < m_s.size() && m_s[m_i] == quote) {
                    v += quote;
                    ++m_i;
                    continue;
                }
                return v;
            }
            v += c;
        }
    }

    const QString& m_s;
    int m_i = 0;
};

// Words that end an expression or a clause and cannot be bare names.
const QSet<QString>& reservedWords() {
    static const QSet<QString> w = {
        QStringLiteral("SELECT"),      QStringLiteral("FROM"),   QStringLiteral("WHERE"),
        QStringLiteral("ORDER"),       QStringLiteral("GROUP"),  QStringLiteral("HAVING"),
        QStringLiteral("BY"),          QStringLiteral("AND"),    QStringLiteral("OR"),
        QStringLiteral("NOT"),         QStringLiteral("LIKE"),   QStringLiteral("BETWEEN"),
        QStringLiteral("IN"),          QStringLiteral("IS"),     QStringLiteral("NULL"),
        QStringLiteral("INNER"),       QStringLiteral("LEFT"),   QStringLiteral("RIGHT"),
        QStringLiteral("JOIN"),        QStringLiteral("ON"),     QStringLiteral("AS"),
        QStringLiteral("INTO"),        QStringLiteral("VALUES"), QStringLiteral("SET"),
        QStringLiteral("DISTINCT"),    QStringLiteral("TOP"),    QStringLiteral("ASC"),
        QStringLiteral("DESC"),        QStringLiteral("UNION"),  QStringLiteral("OUTER"),
        QStringLiteral("MOD"),         QStringLiteral("EXISTS"), QStringLiteral("TRUE"),
        QStringLiteral("FALSE"),       QStringLiteral("INSERT"), QStringLiteral("DELETE"),
        QStringLiteral("UPDATE"),      QStringLiteral("CREATE"), QStringLiteral("DROP"),
        QStringLiteral("DISTINCTROW"),
    };
    return w;
}

// One level of nesting for as long as it lives.
class Nesting {
  public:
    explicit Nesting(int& depth) : m_depth(depth) {
        if (m_depth >= kMaxNesting) tooComplex();
        ++m_depth;
    }
    ~Nesting() { --m_depth; }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;

  private:
    int& m_depth;
};

// Sets a node's height from its operands and subquery; refuses a tree too high.
ExprPtr finish(ExprPtr e) {
    int h = e->subquery ? e->subquery->height : 0;
    for (const auto& a : e->args)
        h = std::max(h, a->height);
    e->height = h + 1;
    if (e->height > kMaxHeight) tooComplex();
    return e;
}

int heightOf(const Expr* e) {
    return e ? e->height : 0;
}

class Parser {
  public:
    explicit Parser(const QString& sql) : m_sql(sql), m_t(Lexer(sql).run()) {}

    Statement statement() {
        Statement st;
        if (peekWord("SELECT")) {
            st.kind = Statement::Kind::Select;
            st.select = select();
        } else if (acceptWord("INSERT")) {
            st.kind = Statement::Kind::Insert;
            st.insert = insert();
        } else if (acceptWord("DELETE")) {
            st.kind = Statement::Kind::Delete;
            st.del = del();
        } else if (acceptWord("UPDATE")) {
            st.kind = Statement::Kind::Update;
            st.update = update();
        } else if (acceptWord("CREATE")) {
            if (peekWord("TABLE")) {
                next();
                st.kind = Statement::Kind::CreateTable;
                st.createTable = createTable();
            } else {
                st.kind = Statement::Kind::CreateIndex;
                st.createIndex = createIndex();
            }
        } else if (acceptWord("DROP")) {
            st.kind = Statement::Kind::Drop;
            st.drop = drop();
        } else {
            fail(QStringLiteral(
                "Neplatný příkaz SQL; očekáváno DELETE, INSERT, SELECT, UPDATE, CREATE nebo DROP."));
        }
        if (acceptSymbol(";")) {
            if (cur().type != Token::Type::End)
                fail(QStringLiteral("Za koncem příkazu SQL byly nalezeny další znaky."));
        }
        if (cur().type != Token::Type::End) unexpected();
        return st;
    }

  private:
    // ---- token helpers -------------------------------------------------
    const Token& cur() const { return m_t[m_p]; }
    const Token& peek(int k = 1) const { return m_t[std::min<size_t>(m_p + k, m_t.size() - 1)]; }
    void next() {
        if (m_p + 1 < m_t.size()) ++m_p;
    }
    bool isWord(const Token& t, const char* w) const {
        return t.type == Token::Type::Ident && !t.bracketed &&
               t.text.compare(QLatin1String(w), Qt::CaseInsensitive) == 0;
    }
    bool peekWord(const char* w) const { return isWord(cur(), w); }
    bool acceptWord(const char* w) {
        if (!peekWord(w)) return false;
        next();
        return true;
    }
    void expectWord(const char* w) {
        if (!acceptWord(w)) unexpected(QString::fromLatin1(w));
    }
    bool peekSymbol(const char* s) const {
        return cur().type == Token::Type::Symbol && cur().text == QLatin1String(s);
    }
    bool acceptSymbol(const char* s) {
        if (!peekSymbol(s)) return false;
        next();
        return true;
    }
    void expectSymbol(const char* s) {
        if (!acceptSymbol(s)) unexpected(QString::fromLatin1(s));
    }
    bool isReserved(const Token& t) const {
        return t.type == Token::Type::Ident && !t.bracketed && reservedWords().contains(t.text.toUpper());
    }

    [[noreturn]] void fail(const QString& msg) const { throw Error(msg); }
    [[noreturn]] void unexpected(const QString& expected = {}) const {
        const Token& t = cur();
        QString found;
        if (t.type == Token::Type::End) {
            found = QStringLiteral("konec příkazu");
        } else {
            found = QStringLiteral("„%1“").arg(m_sql.mid(t.pos, 30).section(u'\n', 0, 0));
        }
        if (expected.isEmpty()) fail(QStringLiteral("Chyba syntaxe v příkazu SQL u: %1.").arg(found));
        fail(
            QStringLiteral("Chyba syntaxe v příkazu SQL: očekáváno „%1“, nalezeno %2.").arg(expected, found));
    }

    QString name(const char* what = "název") {
        const Token& t = cur();
        if (t.type != Token::Type::Ident || isReserved(t)) unexpected(QString::fromUtf8(what));
        QString n = t.text;
        next();
        return n;
    }
    QString stringLiteral() {
        if (cur().type != Token::Type::String) unexpected(QStringLiteral("řetězec"));
        QString v = cur().text;
        next();
        return v;
    }
    qint64 integerLiteral() {
        if (cur().type != Token::Type::Number) unexpected(QStringLiteral("číslo"));
        bool ok = false;
        qint64 v = cur().text.toLongLong(&ok);
        if (!ok) unexpected(QStringLiteral("celé číslo"));
        next();
        return v;
    }

    // ---- SELECT ----------------------------------------------------------
    std::unique_ptr<Select> select() {
        expectWord("SELECT");
        auto s = std::make_unique<Select>();
        for (;;) {
            if (acceptWord("DISTINCT")) {
                s->distinct = true;
            } else if (acceptWord("DISTINCTROW")) {
                // Same rows as a plain select for the single-table and join queries we run.
            } else if (peekWord("ALL")) {
                next();
            } else if (acceptWord("TOP")) {
                s->top = integerLiteral();
                if (acceptWord("PERCENT")) s->topPercent = true;
            } else {
                break;
            }
        }
        do {
            s->items.push_back(selectItem());
        } while (acceptSymbol(","));

        if (acceptWord("INTO")) {
            IntoClause into;
            into.target = name("název cílové tabulky");
            if (acceptWord("IN")) {
                into.database = stringLiteral();
                if (cur().type == Token::Type::String) into.connect = stringLiteral();
            }
            s->into = into;
        }
        expectWord("FROM");
        do {
            s->from.push_back(fromItem());
        } while (acceptSymbol(","));
        if (acceptWord("WHERE")) s->where = expr();
        if (acceptWord("GROUP")) {
            expectWord("BY");
            do {
                s->groupBy.push_back(expr());
            } while (acceptSymbol(","));
        }
        if (acceptWord("HAVING")) s->having = expr();
        if (acceptWord("ORDER")) {
            expectWord("BY");
            do {
                OrderItem o;
                o.expr = expr();
                if (acceptWord("DESC"))
                    o.descending = true;
                else
                    acceptWord("ASC");
                s->orderBy.push_back(std::move(o));
            } while (acceptSymbol(","));
        }
        if (peekWord("UNION")) fail(QStringLiteral("Příkaz UNION není podporován."));
        int h = std::max(heightOf(s->where.get()), heightOf(s->having.get()));
        for (const auto& it : s->items)
            h = std::max(h, heightOf(it.expr.get()));
        for (const auto& f : s->from)
            h = std::max(h, f->height);
        for (const auto& g : s->groupBy)
            h = std::max(h, g->height);
        for (const auto& o : s->orderBy)
            h = std::max(h, o.expr->height);
        s->height = h + 1;
        if (s->height > kMaxHeight) tooComplex();
        return s;
    }

    // A select inside another statement's expression: its expressions nest
    // afresh, the subqueries count on.
    std::unique_ptr<Select> subselect() {
        if (m_subqueryDepth >= kMaxSubqueryNesting) tooComplex();
        ++m_subqueryDepth;
        const int outerDepth = std::exchange(m_depth, 0);
        auto s = select();
        m_depth = outerDepth;
        --m_subqueryDepth;
        return s;
    }

    SelectItem selectItem() {
        SelectItem it;
        if (acceptSymbol("*")) {
            it.star = true;
            return it;
        }
        // qualifier.*
        if (cur().type == Token::Type::Ident && !isReserved(cur()) && peek().type == Token::Type::Symbol &&
            peek().text == QLatin1String(".") && peek(2).type == Token::Type::Symbol &&
            peek(2).text == QLatin1String("*")) {
            it.star = true;
            it.starQualifier = cur().text;
            next();
            next();
            next();
            return it;
        }
        it.expr = expr();
        if (acceptWord("AS")) {
            if (cur().type == Token::Type::String)
                it.alias = stringLiteral();
            else
                it.alias = name("alias");
        } else if (cur().type == Token::Type::Ident && !isReserved(cur())) {
            it.alias = name();
        }
        return it;
    }

    FromPtr fromItem() {
        FromPtr left = fromPrimary();
        for (;;) {
            FromItem::JoinType jt;
            if (acceptWord("INNER")) {
                jt = FromItem::JoinType::Inner;
            } else if (acceptWord("LEFT")) {
                acceptWord("OUTER");
                jt = FromItem::JoinType::Left;
            } else if (acceptWord("RIGHT")) {
                acceptWord("OUTER");
                jt = FromItem::JoinType::Right;
            } else {
                break;
            }
            expectWord("JOIN");
            auto j = std::make_unique<FromItem>();
            j->kind = FromItem::Kind::Join;
            j->joinType = jt;
            j->left = std::move(left);
            j->right = fromPrimary();
            expectWord("ON");
            j->on = expr();
            j->height = std::max({j->left->height, j->right->height, j->on->height}) + 1;
            if (j->height > kMaxHeight) tooComplex();
            left = std::move(j);
        }
        return left;
    }

    FromPtr fromPrimary() {
        if (acceptSymbol("(")) {
            if (peekWord("SELECT")) fail(QStringLiteral("Poddotaz v klauzuli FROM není podporován."));
            Nesting n(m_depth);
            FromPtr inner = fromItem();
            expectSymbol(")");
            return inner;
        }
        auto t = std::make_unique<FromItem>();
        t->kind = FromItem::Kind::Table;
        t->table = name("název tabulky");
        if (peekWord("IN") && peek().type == Token::Type::String) {
            next();
            t->externalPath = stringLiteral();
            if (cur().type == Token::Type::String) {
                QString connect = stringLiteral();
                if (!connect.isEmpty())
                    fail(
                        QStringLiteral("Připojení k jinému typu databáze v klauzuli FROM není podporováno."));
            }
        }
        if (acceptWord("AS"))
            t->alias = name("alias");
        else if (cur().type == Token::Type::Ident && !isReserved(cur()))
            t->alias = name();
        return t;
    }

    // ---- INSERT / DELETE / UPDATE ----------------------------------------
    std::unique_ptr<Insert> insert() {
        expectWord("INTO");
        auto ins = std::make_unique<Insert>();
        ins->table = name("název tabulky");
        if (acceptSymbol("(")) {
            do {
                ins->columns << name("název sloupce");
            } while (acceptSymbol(","));
            expectSymbol(")");
        }
        if (acceptWord("VALUES")) {
            expectSymbol("(");
            do {
                ins->values.push_back(expr());
            } while (acceptSymbol(","));
            expectSymbol(")");
        } else if (peekWord("SELECT")) {
            ins->select = select();
        } else {
            unexpected(QStringLiteral("VALUES"));
        }
        return ins;
    }

    std::unique_ptr<Delete> del() {
        auto d = std::make_unique<Delete>();
        // DELETE [*|table.*] FROM table
        if (!peekWord("FROM")) {
            if (acceptSymbol("*")) {
            } else {
                name();
                expectSymbol(".");
                expectSymbol("*");
            }
        }
        expectWord("FROM");
        d->table = name("název tabulky");
        if (acceptWord("WHERE")) d->where = expr();
        return d;
    }

    std::unique_ptr<Update> update() {
        auto u = std::make_unique<Update>();
        u->table = name("název tabulky");
        expectWord("SET");
        do {
            QString col = name("název sloupce");
            if (acceptSymbol(".")) col = name("název sloupce"); // table.column
            expectSymbol("=");
            u->assignments.emplace_back(col, expr());
        } while (acceptSymbol(","));
        if (acceptWord("WHERE")) u->where = expr();
        return u;
    }

    // ---- DDL -------------------------------------------------------------
    std::unique_ptr<CreateTable> createTable() {
        auto ct = std::make_unique<CreateTable>();
        ct->table = name("název tabulky");
        expectSymbol("(");
        do {
            if (acceptWord("CONSTRAINT")) {
                name("název omezení");
                tableConstraint(*ct);
                continue;
            }
            if (peekWord("PRIMARY") || peekWord("UNIQUE")) {
                tableConstraint(*ct);
                continue;
            }
            ColumnDef c;
            c.name = name("název sloupce");
            columnType(c);
            for (;;) {
                if (acceptWord("NOT")) {
                    expectWord("NULL");
                    c.notNull = true;
                } else if (acceptWord("NULL")) {
                } else if (acceptWord("PRIMARY")) {
                    expectWord("KEY");
                    c.primaryKey = true;
                } else if (acceptWord("UNIQUE")) {
                    c.unique = true;
                } else if (acceptWord("CONSTRAINT")) {
                    name("název omezení");
                } else {
                    break;
                }
            }
            ct->columns.push_back(c);
        } while (acceptSymbol(","));
        expectSymbol(")");
        return ct;
    }

    void tableConstraint(CreateTable& ct) {
        if (acceptWord("PRIMARY")) {
            expectWord("KEY");
            ct.primaryKey = nameList();
        } else if (acceptWord("UNIQUE")) {
            ct.uniques.push_back(nameList());
        } else {
            unexpected(QStringLiteral("PRIMARY KEY nebo UNIQUE"));
        }
    }

    QStringList nameList() {
        QStringList l;
        expectSymbol("(");
        do {
            l << name("název sloupce");
        } while (acceptSymbol(","));
        expectSymbol(")");
        return l;
    }

    void columnType(ColumnDef& c) {
        const QString t = name("typ sloupce").toUpper();
        const TypeDescription* type = typeNamed(t);
        if (!type || type->type == ColumnType::Other)
            fail(QStringLiteral("Nepodporovaný typ sloupce „%1“.").arg(t));
        c.type = type->type;
        c.size = 0;
        if (type->maxSize == 0) return;
        c.size = type->maxSize;
        if (acceptSymbol("(")) {
            const qint64 n = integerLiteral();
            expectSymbol(")");
            if (n < 1 || n > type->maxSize)
                fail(c.type == ColumnType::Text
                         ? QStringLiteral("Velikost textového pole musí být 1 až 255.")
                         : QStringLiteral("Velikost binárního pole musí být 1 až %1.").arg(type->maxSize));
            c.size = int(n);
        }
    }

    std::unique_ptr<CreateIndex> createIndex() {
        auto ci = std::make_unique<CreateIndex>();
        if (acceptWord("UNIQUE")) ci->unique = true;
        expectWord("INDEX");
        ci->name = name("název indexu");
        expectWord("ON");
        ci->table = name("název tabulky");
        expectSymbol("(");
        do {
            ci->columns << name("název sloupce");
            bool desc = false;
            if (acceptWord("DESC"))
                desc = true;
            else
                acceptWord("ASC");
            ci->descending.push_back(desc);
        } while (acceptSymbol(","));
        expectSymbol(")");
        if (acceptWord("WITH")) {
            if (acceptWord("PRIMARY")) {
                ci->unique = true;
            } else {
                acceptWord("DISALLOW");
                acceptWord("IGNORE");
                acceptWord("NULL");
            }
        }
        return ci;
    }

    std::unique_ptr<Drop> drop() {
        auto d = std::make_unique<Drop>();
        if (acceptWord("TABLE")) {
            d->name = name("název tabulky");
        } else {
            expectWord("INDEX");
            d->index = true;
            d->name = name("název indexu");
            expectWord("ON");
            d->table = name("název tabulky");
        }
        return d;
    }

    // ---- expressions -----------------------------------------------------
    ExprPtr expr() { return orExpr(); }

    static ExprPtr binary(const QString& op, ExprPtr a, ExprPtr b) {
        auto e = std::make_unique<Expr>(Expr::Kind::Binary);
        e->text = op;
        e->args.push_back(std::move(a));
        e->args.push_back(std::move(b));
        return finish(std::move(e));
    }

    // An operator that may be regrouped freely (OR AND & + *): its terms are
    // kept as one flat list, however long, instead of a tree leaning left.
    static ExprPtr chainStart(const QString& op, ExprPtr first) {
        auto e = std::make_unique<Expr>(Expr::Kind::Binary);
        e->text = op;
        e->args.push_back(std::move(first));
        return e;
    }

    ExprPtr orExpr() {
        ExprPtr e = andExpr();
        if (!peekWord("OR")) return e;
        e = chainStart(QStringLiteral("OR"), std::move(e));
        while (acceptWord("OR"))
            e->args.push_back(andExpr());
        return finish(std::move(e));
    }
    ExprPtr andExpr() {
        ExprPtr e = notExpr();
        if (!peekWord("AND")) return e;
        e = chainStart(QStringLiteral("AND"), std::move(e));
        while (acceptWord("AND"))
            e->args.push_back(notExpr());
        return finish(std::move(e));
    }
    ExprPtr notExpr() {
        if (acceptWord("NOT")) {
            Nesting n(m_depth);
            auto e = std::make_unique<Expr>(Expr::Kind::Unary);
            e->text = QStringLiteral("NOT");
            e->args.push_back(notExpr());
            return finish(std::move(e));
        }
        return predicate();
    }

    ExprPtr predicate() {
        ExprPtr left = concatExpr();
        for (;;) {
            static const char* cmp[] = {"=", "<>", "<", ">", "<=", ">=", "!=", nullptr};
            bool matched = false;
            for (int k = 0; cmp[k]; ++k) {
                if (acceptSymbol(cmp[k])) {
                    QString op = QString::fromLatin1(cmp[k]);
                    if (op == u"!=") op = QStringLiteral("<>");
                    ExprPtr right = concatExpr();
                    left = binary(op, std::move(left), std::move(right));
                    matched = true;
                    break;
                }
            }
            if (matched) continue;
            bool negated = false;
            if (peekWord("NOT") &&
                (isWord(peek(), "LIKE") || isWord(peek(), "BETWEEN") || isWord(peek(), "IN"))) {
                next();
                negated = true;
            }
            if (acceptWord("LIKE")) {
                auto e = std::make_unique<Expr>(Expr::Kind::Like);
                e->negated = negated;
                e->args.push_back(std::move(left));
                e->args.push_back(concatExpr());
                left = finish(std::move(e));
            } else if (acceptWord("BETWEEN")) {
                auto e = std::make_unique<Expr>(Expr::Kind::Between);
                e->negated = negated;
                e->args.push_back(std::move(left));
                e->args.push_back(concatExpr());
                expectWord("AND");
                e->args.push_back(concatExpr());
                left = finish(std::move(e));
            } else if (acceptWord("IN")) {
                expectSymbol("(");
                ExprPtr e;
                if (peekWord("SELECT")) {
                    e = std::make_unique<Expr>(Expr::Kind::InSelect);
                    e->subquery = subselect();
                    e->args.push_back(std::move(left));
                } else {
                    Nesting n(m_depth);
                    e = std::make_unique<Expr>(Expr::Kind::InList);
                    e->args.push_back(std::move(left));
                    do {
                        e->args.push_back(expr());
                    } while (acceptSymbol(","));
                }
                expectSymbol(")");
                e->negated = negated;
                left = finish(std::move(e));
            } else if (acceptWord("IS")) {
                auto e = std::make_unique<Expr>(Expr::Kind::IsNull);
                e->negated = acceptWord("NOT");
                expectWord("NULL");
                e->args.push_back(std::move(left));
                left = finish(std::move(e));
            } else {
                if (negated) unexpected();
                return left;
            }
        }
    }

    ExprPtr concatExpr() {
        ExprPtr e = additive();
        if (!peekSymbol("&")) return e;
        e = chainStart(QStringLiteral("&"), std::move(e));
        while (acceptSymbol("&"))
            e->args.push_back(additive());
        return finish(std::move(e));
    }
    // + and - share a level: a run of + is one flat chain, each - a new node.
    ExprPtr additive() {
        ExprPtr e = multiplicative();
        bool sumOpen = false; // e is a + chain still taking terms
        for (;;) {
            if (acceptSymbol("+")) {
                ExprPtr term = multiplicative();
                if (!sumOpen) e = chainStart(QStringLiteral("+"), std::move(e));
                sumOpen = true;
                e->args.push_back(std::move(term));
                continue;
            }
            if (sumOpen) e = finish(std::move(e));
            sumOpen = false;
            if (!acceptSymbol("-")) return e;
            ExprPtr term = multiplicative();
            e = binary(QStringLiteral("-"), std::move(e), std::move(term));
        }
    }
    ExprPtr multiplicative() {
        ExprPtr e = unary();
        bool productOpen = false; // e is a * chain still taking factors
        for (;;) {
            if (acceptSymbol("*")) {
                ExprPtr factor = unary();
                if (!productOpen) e = chainStart(QStringLiteral("*"), std::move(e));
                productOpen = true;
                e->args.push_back(std::move(factor));
                continue;
            }
            if (productOpen) e = finish(std::move(e));
            productOpen = false;
            QString op;
            if (acceptSymbol("/"))
                op = QStringLiteral("/");
            else if (acceptSymbol("\\"))
                op = QStringLiteral("\\");
            else if (acceptWord("MOD"))
                op = QStringLiteral("MOD");
            else
                return e;
            ExprPtr factor = unary();
            e = binary(op, std::move(e), std::move(factor));
        }
    }
    ExprPtr unary() {
        if (acceptSymbol("-")) {
            Nesting n(m_depth);
            auto e = std::make_unique<Expr>(Expr::Kind::Unary);
            e->text = QStringLiteral("-");
            e->args.push_back(unary());
            return finish(std::move(e));
        }
        if (acceptSymbol("+")) {
            Nesting n(m_depth);
            return unary();
        }
        return primary();
    }

    ExprPtr primary() {
        const Token& t = cur();
        switch (t.type) {
        case Token::Type::Number: {
            bool ok = false;
            auto e = std::make_unique<Expr>(Expr::Kind::Integer);
            e->text = t.text;
            e->integer = t.text.toLongLong(&ok);
            if (!ok) {
                e->kind = Expr::Kind::Real;
                e->real = t.text.toDouble(&ok);
                if (!ok) unexpected();
            }
            next();
            return e;
        }
        case Token::Type::String: {
            auto e = std::make_unique<Expr>(Expr::Kind::String);
            e->text = t.text;
            next();
            return e;
        }
        case Token::Type::Date: {
            // The month comes first, as the dialect reads dates in statements.
            const std::optional<double> serial =
                jet_values::parseDate(t.text, jet_values::DateOrder::MonthFirst);
            if (!serial)
                fail(QStringLiteral("Chyba syntaxe v příkazu SQL: „#%1#“ není platné datum (očekáváno "
                                    "#měsíc/den/rok#, #rok-měsíc-den# a případně čas h:mm:ss).")
                         .arg(t.text.left(40)));
            auto e = std::make_unique<Expr>(Expr::Kind::Date);
            e->text = t.text;
            e->real = *serial;
            next();
            return e;
        }
        case Token::Type::Symbol:
            if (acceptSymbol("(")) {
                if (peekWord("SELECT")) {
                    auto e = std::make_unique<Expr>(Expr::Kind::Subquery);
                    e->subquery = subselect();
                    expectSymbol(")");
                    return finish(std::move(e));
                }
                Nesting n(m_depth);
                ExprPtr inner = expr();
                expectSymbol(")");
                return inner;
            }
            if (acceptSymbol("*")) return std::make_unique<Expr>(Expr::Kind::Star);
            unexpected();
        case Token::Type::End:
            unexpected();
        case Token::Type::Ident:
            break;
        }
        if (!t.bracketed) {
            if (acceptWord("NULL")) return std::make_unique<Expr>(Expr::Kind::Null);
            if (peekWord("TRUE") || peekWord("FALSE")) {
                auto e = std::make_unique<Expr>(Expr::Kind::Boolean);
                e->boolean = peekWord("TRUE");
                e->text = cur().text;
                next();
                return e;
            }
            if (acceptWord("EXISTS")) {
                expectSymbol("(");
                auto e = std::make_unique<Expr>(Expr::Kind::Exists);
                e->subquery = subselect();
                expectSymbol(")");
                return finish(std::move(e));
            }
            const bool call = peek().type == Token::Type::Symbol && peek().text == QLatin1String("(");
            // LEFT( and RIGHT( are the text functions, not joins.
            if (isReserved(t) && !(call && (peekWord("LEFT") || peekWord("RIGHT")))) unexpected();
            if (call) {
                Nesting n(m_depth);
                auto e = std::make_unique<Expr>(Expr::Kind::Function);
                e->text = t.text;
                next();
                next();
                if (!acceptSymbol(")")) {
                    // Jet has no Count(DISTINCT x); counting duplicates instead would be a wrong answer.
                    if (peekWord("DISTINCT") || peekWord("DISTINCTROW"))
                        fail(QStringLiteral("Klíčové slovo DISTINCT uvnitř funkce „%1“ není podporováno.")
                                 .arg(e->text));
                    do {
                        e->args.push_back(expr());
                    } while (acceptSymbol(","));
                    expectSymbol(")");
                }
                return finish(std::move(e));
            }
        }
        auto e = std::make_unique<Expr>(Expr::Kind::Column);
        e->text = cur().text;
        next();
        if ((cur().type == Token::Type::Symbol) &&
            (cur().text == QLatin1String(".") || cur().text == QLatin1String("!"))) {
            next();
            if (cur().type != Token::Type::Ident) unexpected(QStringLiteral("název sloupce"));
            e->qualifier = e->text;
            e->text = cur().text;
            next();
        }
        return e;
    }

    const QString& m_sql;
    std::vector<Token> m_t;
    size_t m_p = 0;
    int m_depth = 0;         // current nesting within the select, see kMaxNesting
    int m_subqueryDepth = 0; // current nesting of subqueries
};

} // namespace

ast::Statement parseStatement(const QString& sql) {
    return Parser(sql).statement();
}

} // namespace db
