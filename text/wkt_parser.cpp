#include "text/wkt_parser.h"

#include <algorithm>
#include <cstdio>

#include "text/wkt_scanner.h"

namespace spatialgeom {
namespace {

// Recursive descent over the grammar, one token of lookahead. Every rule
// returns false at the first token it cannot take, without consuming it, so
// on failure the lookahead is the token the text fails at.
class Parser {
public:
    Parser(std::string_view text, ParsedText* out) : scanner_(text), out_(*out) { advance(); }

    bool input() {
        if (lookahead_.kind == TokenKind::kGeometryCollection) {
            out_.isCollection = true;
            advance();
            if (!parenthesised(&Parser::geometries)) return false;
        } else if (!geometry()) {
            return false;
        }
        return lookahead_.kind == TokenKind::kEnd;
    }

    const Token& lookahead() const { return lookahead_; }

private:
    using Rule = bool (Parser::*)();

    struct GeometryRule {
        TokenKind keyword;
        std::uint32_t type;
        Rule body;  // what the parentheses after the keyword hold
    };

    void advance() { scanner_.next(&lookahead_); }

    bool expect(TokenKind kind) {
        if (lookahead_.kind != kind) return false;
        advance();
        return true;
    }

    bool parenthesised(Rule inner) {
        return expect(TokenKind::kLeftParen) && (this->*inner)() && expect(TokenKind::kRightParen);
    }

    bool commaList(Rule element) {
        if (!(this->*element)()) return false;
        while (lookahead_.kind == TokenKind::kComma) {
            advance();
            if (!(this->*element)()) return false;
        }
        return true;
    }

    bool number(double* value) {
        if (lookahead_.kind != TokenKind::kReal) return false;
        *value = lookahead_.value;
        advance();
        return true;
    }

    bool triple() {
        DPoint3d vertex;
        if (!number(&vertex.x) || !number(&vertex.y) || !number(&vertex.z)) return false;
        out_.vertices.push_back(vertex);
        return true;
    }

    // triple {, triple}, recorded as one run (a line or a ring).
    bool vertices() {
        const std::size_t first = out_.vertices.size();
        if (!commaList(&Parser::triple)) return false;
        out_.runLengths.push_back(out_.vertices.size() - first);
        return true;
    }

    bool ring() { return parenthesised(&Parser::vertices); }
    bool rings() { return commaList(&Parser::ring); }
    bool parenthesisedTriple() { return parenthesised(&Parser::triple); }
    bool multiPointBody() { return commaList(&Parser::parenthesisedTriple); }

    // ( rings ), recorded as one polygon of a multipolygon.
    bool polygon() {
        const std::size_t first = out_.runLengths.size();
        if (!parenthesised(&Parser::rings)) return false;
        out_.groupLengths.push_back(out_.runLengths.size() - first);
        return true;
    }

    bool multiPolygonBody() { return commaList(&Parser::polygon); }

    bool geometry() {
        const auto* rule = std::find_if(std::begin(kGeometryRules), std::end(kGeometryRules),
                                        [&](const GeometryRule& r) { return r.keyword == lookahead_.kind; });
        if (rule == std::end(kGeometryRules)) return false;
        out_.shapes.push_back({rule->type, out_.vertices.size(), out_.runLengths.size(), out_.groupLengths.size()});
        advance();
        return parenthesised(rule->body);
    }

    bool geometries() { return commaList(&Parser::geometry); }

    static constexpr GeometryRule kGeometryRules[] = {
        {TokenKind::kPoint, SPATIAL_TYPE_POINT, &Parser::triple},
        {TokenKind::kLineString, SPATIAL_TYPE_LINESTRING, &Parser::vertices},
        {TokenKind::kPolygon, SPATIAL_TYPE_POLYGON, &Parser::rings},
        {TokenKind::kMultiPoint, SPATIAL_TYPE_MULTIPOINT, &Parser::multiPointBody},
        {TokenKind::kMultiLineString, SPATIAL_TYPE_MULTILINESTRING, &Parser::rings},
        {TokenKind::kMultiPolygon, SPATIAL_TYPE_MULTIPOLYGON, &Parser::multiPolygonBody},
    };

    WktScanner scanner_;
    ParsedText& out_;
    Token lookahead_;
};

void formatSyntaxError(std::string_view token, ParseMessage* message) {
    const int quoted = static_cast<int>(std::min(token.size(), message->size()));
    std::snprintf(message->data(), message->size(), "parse error, at or near \"%.*s\"\n", quoted, token.data());
}

}  // namespace

int parseWkt(std::string_view text, ParsedText* out, ParseMessage* message) {
    if (text.size() >= kReservedTextBytes) out->reserveFor(text);
    Parser parser(text, out);
    if (parser.input()) return kParseAccepted;
    formatSyntaxError(parser.lookahead().text, message);
    return kParseSyntaxError;
}

}  // namespace spatialgeom
