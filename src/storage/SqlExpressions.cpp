#include "SqlExpressions.h"

#include "Error.h"
#include "JetValues.h"
#include "LikePattern.h"
#include "SqlTranslator.h"

#include <QRegularExpression>

namespace db {

using namespace ast;

namespace {

// Upper bound of all texts that start with a given prefix, in binary order.
const QString kPrefixEnd = QString::fromUcs4(U"\U0010FFFF");
const QString kCollateCz = QStringLiteral(" COLLATE \"CZ\"");

// Terms per group of a long chain, and arguments per jet_concat call (SQLite
// allows at most 127 arguments to a function).
constexpr int kChainGroup = 32;
constexpr int kConcatArguments = 100;

Emitted make(QString sql, SqlType type, int precedence) {
    Emitted e;
    e.sql = std::move(sql);
    e.type = type;
    e.precedence = precedence;
    return e;
}

Emitted collate(const Emitted& e) {
    if (e.collated) return e;
    Emitted c = make(SqlExpressions::operand(e, kCollate) + kCollateCz, e.type, kCollate);
    c.collated = true;
    return c;
}

bool isText(const Emitted& e) {
    return e.type == SqlType::Text;
}

// -x: a space keeps a leading minus of x from making "--", a comment.
QString negate(const QString& operandSql) {
    return operandSql.startsWith(u'-') ? QStringLiteral("- ") + operandSql : u'-' + operandSql;
}

} // namespace

SqlType SqlExpressions::typeOf(ColumnType type) {
    switch (describe(type).value) {
    case ValueClass::Text:
        return SqlType::Text;
    case ValueClass::Number:
        return SqlType::Number;
    case ValueClass::Boolean:
        return SqlType::Boolean;
    case ValueClass::Currency:
        return SqlType::Currency;
    case ValueClass::Date:
        return SqlType::Date;
    case ValueClass::None:
        break;
    }
    return SqlType::Unknown;
}

QString SqlExpressions::operand(const Emitted& e, int precedence) {
    return e.precedence < precedence ? u'(' + e.sql + u')' : e.sql;
}

QString SqlExpressions::chain(const QStringList& terms, const QString& separator) {
    QStringList level = terms;
    while (level.size() > kChainGroup) {
        QStringList groups;
        for (qsizetype i = 0; i < level.size(); i += kChainGroup) {
            const QStringList part = level.mid(i, kChainGroup);
            groups << (part.size() == 1 ? part.first() : u'(' + part.join(separator) + u')');
        }
        level = groups;
    }
    return level.join(separator);
}

Emitted SqlExpressions::asValue(Emitted e) {
    if (e.type != SqlType::Predicate) return e;
    // SQLite's 1/0/Null negated: -1/0/Null. Always bracketed, so that no
    // predicate keyword (EXISTS, NOT) follows the minus directly.
    return make(QStringLiteral("-(") + e.sql + u')', SqlType::Boolean, kUnary);
}

Emitted SqlExpressions::asCondition(Emitted e) {
    return e;
}

Emitted SqlExpressions::withCzechOrder(Emitted e) {
    if (!isText(e) || e.plainColumn) return e;
    return collate(e);
}

Emitted SqlExpressions::expr(const Expr& e, const Scope& scope) {
    switch (e.kind) {
    case Expr::Kind::Null:
        return make(QStringLiteral("NULL"), SqlType::Unknown, kPrimary);
    case Expr::Kind::Boolean:
        return e.boolean ? make(QStringLiteral("-1"), SqlType::Boolean, kUnary)
                         : make(QStringLiteral("0"), SqlType::Boolean, kPrimary);
    case Expr::Kind::Integer:
        return make(QString::number(e.integer), SqlType::Number, kPrimary);
    case Expr::Kind::Real:
        return make(QString::number(e.real, 'g', 17), SqlType::Number, kPrimary);
    case Expr::Kind::String:
        return make(quoteLiteral(e.text), SqlType::Text, kPrimary);
    case Expr::Kind::Date:
        return make(QString::number(e.real, 'g', 17), SqlType::Date, e.real < 0 ? kUnary : kPrimary);
    case Expr::Kind::Column: {
        const Resolved r = SqlNames::resolve(e, scope);
        if (r.column->type == ColumnType::Currency) {
            // Expressions see the amount; the count of ten-thousandths stays at hand
            // for the select list and for sums, which keep it exact.
            Emitted c = make(SqlNames::columnSql(r) + QStringLiteral(" / 10000.0"), SqlType::Currency,
                             kMultiplicative);
            c.raw = SqlNames::columnSql(r);
            return c;
        }
        Emitted c = make(SqlNames::columnSql(r), typeOf(r.column->type), kPrimary);
        c.plainColumn = true;
        return c;
    }
    case Expr::Kind::Star:
        return make(QStringLiteral("*"), SqlType::Unknown, kPrimary);
    case Expr::Kind::Unary:
        if (e.text == u"NOT") return notExpr(e, scope);
        return make(negate(operand(value(*e.args[0], scope), kUnary)), SqlType::Number, kUnary);
    case Expr::Kind::Binary:
        return binary(e, scope);
    case Expr::Kind::Like:
        return like(e, scope);
    case Expr::Kind::Between:
        return between(e, scope);
    case Expr::Kind::InList:
        return inList(e, scope);
    case Expr::Kind::InSelect:
        return inSelect(e, scope);
    case Expr::Kind::Exists:
        return make(QStringLiteral("EXISTS (") + m_subqueries.buildSubquery(*e.subquery, scope).sql + u')',
                    SqlType::Predicate, kEquality);
    case Expr::Kind::Subquery: {
        const Emitted sub = m_subqueries.buildSubquery(*e.subquery, scope);
        return make(u'(' + sub.sql + u')', sub.type, kPrimary);
    }
    case Expr::Kind::IsNull:
        return make(operand(value(*e.args[0], scope), kBitwise) +
                        (e.negated ? QStringLiteral(" IS NOT NULL") : QStringLiteral(" IS NULL")),
                    SqlType::Predicate, kEquality);
    case Expr::Kind::Function:
        return function(e, scope);
    }
    return {};
}

// NOT of a truth value is logical; NOT of a number is bitwise, as in the
// dialect (NOT 0 = -1, NOT -1 = 0), and so stays a Yes/No value for Booleans.
Emitted SqlExpressions::notExpr(const Expr& e, const Scope& scope) {
    const Emitted x = expr(*e.args[0], scope);
    if (x.type == SqlType::Predicate)
        return make(QStringLiteral("NOT ") + operand(x, kEquality), SqlType::Predicate, kNot);
    return make(u'~' + operand(x, kUnary), x.type == SqlType::Boolean ? SqlType::Boolean : SqlType::Number,
                kUnary);
}

Emitted SqlExpressions::binary(const Expr& e, const Scope& scope) {
    const QString& op = e.text;
    if (op == u"AND" || op == u"OR") return andOr(e, scope);
    if (op == u"&") {
        // Null counts as empty text; SQLite takes a limited number of arguments per call.
        QStringList level;
        for (const auto& a : e.args)
            level << asText(value(*a, scope));
        while (level.size() > kConcatArguments) {
            QStringList groups;
            for (qsizetype i = 0; i < level.size(); i += kConcatArguments)
                groups << QStringLiteral("jet_concat(") +
                              level.mid(i, kConcatArguments).join(QStringLiteral(", ")) + u')';
            level = groups;
        }
        return make(QStringLiteral("jet_concat(") + level.join(QStringLiteral(", ")) + u')', SqlType::Text,
                    kPrimary);
    }
    if (op == u"+" || op == u"*") {
        const int p = op == u"+" ? kAdditive : kMultiplicative;
        QStringList terms;
        std::vector<SqlType> types;
        for (const auto& a : e.args) {
            const Emitted v = value(*a, scope);
            terms << operand(v, p + 1);
            types.push_back(v.type);
        }
        return make(chain(terms, u' ' + op + u' '), op == u"+" ? sumType(types) : SqlType::Number, p);
    }
    const Emitted a = value(*e.args[0], scope);
    const Emitted b = value(*e.args[1], scope);
    if (op == u"-") {
        // A date less a date is a number of days; a date less days is a date.
        const SqlType type =
            a.type == SqlType::Date && b.type == SqlType::Date ? SqlType::Number : sumType({a.type, b.type});
        return make(operand(a, kAdditive) + QStringLiteral(" - ") + operand(b, kAdditive + 1), type,
                    kAdditive);
    }
    // Division is done by functions that refuse a zero divisor, as the dialect does.
    if (op == u"/")
        return make(QStringLiteral("jet_div(%1, %2)").arg(a.sql, b.sql), SqlType::Number, kPrimary);
    if (op == u"\\")
        return make(QStringLiteral("jet_idiv(%1, %2)").arg(a.sql, b.sql), SqlType::Number, kPrimary);
    if (op == u"MOD")
        return make(QStringLiteral("jet_mod(%1, %2)").arg(a.sql, b.sql), SqlType::Number, kPrimary);
    return comparison(op, a, b);
}

// A date becomes text in its Czech form ("1.3.2004 10:20:30"), as & and CStr show it.
QString SqlExpressions::asText(const Emitted& e) {
    if (e.type == SqlType::Date) return QStringLiteral("jet_datetext(") + e.sql + u')';
    return e.sql;
}

// A sum with one date among numbers is a date; a sum of amounts an amount.
SqlType SqlExpressions::sumType(const std::vector<SqlType>& types) {
    int dates = 0, amounts = 0;
    for (SqlType t : types) {
        dates += t == SqlType::Date;
        amounts += t == SqlType::Currency;
    }
    if (dates == 1) return SqlType::Date;
    if (amounts == int(types.size())) return SqlType::Currency;
    return SqlType::Number;
}

// AND and OR over truth values and Yes/No values are logical; with a number
// among the operands they work bit by bit on the values, as in the dialect.
Emitted SqlExpressions::andOr(const Expr& e, const Scope& scope) {
    const bool isAnd = e.text == u"AND";
    std::vector<Emitted> operands;
    operands.reserve(e.args.size());
    bool bitwise = false;
    for (const auto& a : e.args) {
        operands.push_back(expr(*a, scope));
        if (isNumeric(operands.back().type)) bitwise = true;
    }
    QStringList terms;
    if (bitwise) {
        for (const Emitted& o : operands)
            terms << operand(asValue(o), kBitwise + 1);
        return make(chain(terms, isAnd ? QStringLiteral(" & ") : QStringLiteral(" | ")), SqlType::Number,
                    kBitwise);
    }
    const int p = isAnd ? kAnd : kOr;
    for (const Emitted& o : operands)
        terms << operand(asCondition(o), p + 1);
    return make(chain(terms, isAnd ? QStringLiteral(" AND ") : QStringLiteral(" OR ")), SqlType::Predicate,
                p);
}

// Text compares under the Czech order with letter case ignored. The collation
// goes on the side that is not a plain column: a column carries it already and
// keeps its index usable.
Emitted SqlExpressions::comparison(const QString& op, Emitted a, Emitted b) {
    // A date compared with a text compares with the date the text names.
    if (a.type == SqlType::Date && isText(b))
        b = make(QStringLiteral("jet_cdate(") + b.sql + u')', SqlType::Date, kPrimary);
    if (b.type == SqlType::Date && isText(a))
        a = make(QStringLiteral("jet_cdate(") + a.sql + u')', SqlType::Date, kPrimary);
    if ((isText(a) || isText(b)) && !a.collated && !b.collated) {
        if (b.plainColumn && !a.plainColumn)
            a = collate(a);
        else
            b = collate(b);
    }
    // An amount column against a number written with at most four decimals
    // compares its stored count of ten-thousandths, exactly, and an index on
    // the column can answer.
    auto asCount = [](const Emitted& column, const Emitted& literal) -> std::optional<QString> {
        static const QRegularExpression number(QStringLiteral(R"(^-?\d+(\.\d{1,4})?$)"));
        if (column.raw.isEmpty() || literal.type != SqlType::Number || !number.match(literal.sql).hasMatch())
            return std::nullopt;
        const std::optional<qint64> count = jet_values::currencyFromText(literal.sql);
        if (!count) return std::nullopt;
        return QString::number(*count);
    };
    if (const std::optional<QString> n = asCount(a, b)) {
        a = make(a.raw, SqlType::Currency, kPrimary);
        b = make(*n, SqlType::Number, n->startsWith(u'-') ? kUnary : kPrimary);
    } else if (const std::optional<QString> n = asCount(b, a)) {
        b = make(b.raw, SqlType::Currency, kPrimary);
        a = make(*n, SqlType::Number, n->startsWith(u'-') ? kUnary : kPrimary);
    }
    const int p = (op == u"=" || op == u"<>") ? kEquality : kRelation;
    return make(operand(a, kBitwise) + u' ' + op + u' ' + operand(b, kBitwise), SqlType::Predicate, p);
}

Emitted SqlExpressions::between(const Expr& e, const Scope& scope) {
    Emitted x = value(*e.args[0], scope);
    const Emitted lo = value(*e.args[1], scope);
    const Emitted hi = value(*e.args[2], scope);
    if (isText(x) || isText(lo) || isText(hi)) x = collate(x);
    return make(operand(x, kBitwise) +
                    (e.negated ? QStringLiteral(" NOT BETWEEN ") : QStringLiteral(" BETWEEN ")) +
                    operand(lo, kBitwise) + QStringLiteral(" AND ") + operand(hi, kBitwise),
                SqlType::Predicate, kEquality);
}

// The collation of "x IN (…)" is x's: it goes there when anything is text.
Emitted SqlExpressions::inList(const Expr& e, const Scope& scope) {
    Emitted x = value(*e.args[0], scope);
    bool text = isText(x);
    QStringList items;
    for (size_t i = 1; i < e.args.size(); ++i) {
        const Emitted item = value(*e.args[i], scope);
        text = text || isText(item);
        items << item.sql;
    }
    if (text) x = collate(x);
    return make(operand(x, kBitwise) + (e.negated ? QStringLiteral(" NOT IN (") : QStringLiteral(" IN (")) +
                    items.join(QStringLiteral(", ")) + u')',
                SqlType::Predicate, kEquality);
}

Emitted SqlExpressions::inSelect(const Expr& e, const Scope& scope) {
    Emitted x = value(*e.args[0], scope);
    const Emitted sub = m_subqueries.buildSubquery(*e.subquery, scope);
    if (isText(x) || isText(sub)) x = collate(x);
    return make(operand(x, kBitwise) + (e.negated ? QStringLiteral(" NOT IN (") : QStringLiteral(" IN (")) +
                    sub.sql + u')',
                SqlType::Predicate, kEquality);
}

Emitted SqlExpressions::like(const Expr& e, const Scope& scope) {
    const Emitted lhs = value(*e.args[0], scope);
    const Expr& rhs = *e.args[1];
    const QString v = lhs.sql;
    Emitted result;
    const bool literal = rhs.kind == Expr::Kind::String || rhs.kind == Expr::Kind::Integer;
    if (!literal) {
        result = make(QStringLiteral("jet_like(%1, %2)").arg(v, value(rhs, scope).sql), SqlType::Predicate,
                      kPrimary);
    } else {
        const QString patternText = rhs.kind == Expr::Kind::String ? rhs.text : QString::number(rhs.integer);
        std::optional<LikePattern> pattern;
        pattern.emplace(patternText); // a malformed pattern throws PatternError, a db::Error
        const bool numericColumn =
            lhs.plainColumn && (lhs.type == SqlType::Number || lhs.type == SqlType::Boolean);
        bool integerPattern = false;
        patternText.toLongLong(&integerPattern);
        if (numericColumn) {
            if (pattern->isExact() && integerPattern)
                result = make(v + QStringLiteral(" = ") + patternText, SqlType::Predicate, kEquality);
            else
                result = make(QStringLiteral("jet_like(%1, %2)").arg(v, quoteLiteral(patternText)),
                              SqlType::Predicate, kPrimary);
        } else if (pattern->isExact()) {
            result = make(QStringLiteral("jet_fold(%1) = %2").arg(v, quoteLiteral(pattern->foldedLiteral())),
                          SqlType::Predicate, kEquality);
        } else if (!pattern->literalPrefix().isEmpty() && lhs.plainColumn) {
            // The range on the folded text lets an index on jet_fold(column) narrow the
            // rows. Only for a column: any other value would be written out three times,
            // and nested, three times per level.
            const QString prefix = pattern->literalPrefix();
            const QString range = QStringLiteral("jet_fold(%1) >= %2 AND jet_fold(%1) < %3")
                                      .arg(v, quoteLiteral(prefix), quoteLiteral(prefix + kPrefixEnd));
            // A literal followed by one "*" is the range alone; leaving out the
            // match lets the index answer without reading the rows.
            const QString head = patternText.chopped(1);
            const bool prefixOnly = patternText.endsWith(u'*') && !LikePattern(head).hasWildcards() &&
                                    LikePattern(head).foldedLiteral() == prefix;
            result =
                prefixOnly
                    ? make(range, SqlType::Predicate, kAnd)
                    : make(range + QStringLiteral(" AND jet_like(%1, %2)").arg(v, quoteLiteral(patternText)),
                           SqlType::Predicate, kAnd);
        } else {
            result = make(QStringLiteral("jet_like(%1, %2)").arg(v, quoteLiteral(patternText)),
                          SqlType::Predicate, kPrimary);
        }
    }
    if (e.negated) return make(QStringLiteral("NOT ") + operand(result, kEquality), SqlType::Predicate, kNot);
    return result;
}

Emitted SqlExpressions::function(const Expr& e, const Scope& scope) {
    const QString fn = e.text.toUpper();
    std::vector<Emitted> args;
    for (const auto& arg : e.args)
        args.push_back(expr(*arg, scope));
    const bool choice = fn == u"IIF" && !args.empty();
    const Emitted firstAsCondition = choice ? asCondition(args[0]) : Emitted();
    for (Emitted& a : args)
        a = asValue(a);
    auto need = [&](size_t lo, size_t hi) {
        if (args.size() < lo || args.size() > hi)
            throw Error(QStringLiteral("Nesprávný počet argumentů funkce „%1“.").arg(e.text));
    };
    auto call = [](const QString& name, std::initializer_list<QString> a, SqlType type) {
        return make(name + u'(' + QStringList(a).join(QStringLiteral(", ")) + u')', type, kPrimary);
    };
    if (fn == u"IIF") {
        need(3, 3);
        const Emitted& cond = firstAsCondition;
        const SqlType a = args[1].type, b = args[2].type;
        SqlType type = SqlType::Unknown;
        if (a == b || b == SqlType::Unknown)
            type = a;
        else if (a == SqlType::Unknown)
            type = b;
        else if ((a == SqlType::Number || a == SqlType::Boolean) &&
                 (b == SqlType::Number || b == SqlType::Boolean))
            type = SqlType::Number;
        return make(
            QStringLiteral("CASE WHEN %1 THEN %2 ELSE %3 END").arg(cond.sql, args[1].sql, args[2].sql), type,
            kPrimary);
    }
    if (fn == u"ISNULL") {
        need(1, 1);
        return make(QStringLiteral("-(") + operand(args[0], kBitwise) + QStringLiteral(" IS NULL)"),
                    SqlType::Boolean, kUnary);
    }
    if (fn == u"COUNT") {
        need(1, 1);
        return call(QStringLiteral("count"), {args[0].sql}, SqlType::Number);
    }
    if (fn == u"SUM" && args.size() == 1 && !args[0].raw.isEmpty())
        return make(QStringLiteral("sum(%1) / 10000.0").arg(args[0].raw), SqlType::Currency, kMultiplicative);
    if (fn == u"SUM" || fn == u"AVG") {
        need(1, 1);
        return call(fn.toLower(), {args[0].sql}, SqlType::Number);
    }
    if (fn == u"MIN" || fn == u"MAX") {
        need(1, 1);
        return call(fn.toLower(), {withCzechOrder(args[0]).sql}, args[0].type);
    }
    if (fn == u"LEN") {
        need(1, 1);
        return call(QStringLiteral("jet_len"), {args[0].sql}, SqlType::Number);
    }
    if (fn == u"LCASE") {
        need(1, 1);
        return call(QStringLiteral("jet_fold"), {args[0].sql}, SqlType::Text);
    }
    if (fn == u"UCASE") {
        need(1, 1);
        return call(QStringLiteral("jet_upper"), {args[0].sql}, SqlType::Text);
    }
    if (fn == u"LEFT") {
        need(2, 2);
        return call(QStringLiteral("substr"), {args[0].sql, QStringLiteral("1"), args[1].sql}, SqlType::Text);
    }
    if (fn == u"RIGHT") {
        need(2, 2);
        return call(QStringLiteral("jet_right"), {args[0].sql, args[1].sql}, SqlType::Text);
    }
    if (fn == u"MID") {
        need(2, 3);
        return args.size() == 2
                   ? call(QStringLiteral("substr"), {args[0].sql, args[1].sql}, SqlType::Text)
                   : call(QStringLiteral("substr"), {args[0].sql, args[1].sql, args[2].sql}, SqlType::Text);
    }
    if (fn == u"TRIM" || fn == u"LTRIM" || fn == u"RTRIM") {
        need(1, 1);
        return call(fn.toLower(), {args[0].sql}, SqlType::Text);
    }
    if (fn == u"INSTR") {
        need(2, 2);
        return make(QStringLiteral("instr(jet_fold(%1), jet_fold(%2))").arg(args[0].sql, args[1].sql),
                    SqlType::Number, kPrimary);
    }
    if (fn == u"CSTR") {
        need(1, 1);
        return make(QStringLiteral("CAST(%1 AS TEXT)").arg(asText(args[0])), SqlType::Text, kPrimary);
    }
    if (fn == u"CLNG" || fn == u"CINT") {
        need(1, 1);
        return make(QStringLiteral("CAST(round(%1) AS INTEGER)").arg(args[0].sql), SqlType::Number, kPrimary);
    }
    if (fn == u"ABS") {
        need(1, 1);
        return call(QStringLiteral("abs"), {args[0].sql}, SqlType::Number);
    }
    if (fn == u"NOW" || fn == u"DATE") {
        need(0, 0);
        return make(fn == u"NOW" ? QStringLiteral("jet_now()") : QStringLiteral("jet_today()"), SqlType::Date,
                    kPrimary);
    }
    if (fn == u"YEAR" || fn == u"MONTH" || fn == u"DAY") {
        need(1, 1);
        return make(QStringLiteral("jet_datepart(%1, '%2')").arg(args[0].sql, fn.left(1).toLower()),
                    SqlType::Number, kPrimary);
    }
    if (fn == u"DATESERIAL") {
        need(3, 3);
        return call(QStringLiteral("jet_dateserial"), {args[0].sql, args[1].sql, args[2].sql}, SqlType::Date);
    }
    if (fn == u"CDATE") {
        need(1, 1);
        return call(QStringLiteral("jet_cdate"), {args[0].sql}, SqlType::Date);
    }
    throw Error(QStringLiteral("Nedefinovaná funkce „%1“ ve výrazu.").arg(e.text));
}

} // namespace db
