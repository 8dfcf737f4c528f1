#pragma once

#include <QList>
#include <QString>

// Tokens of a statement in the SQL Server dialect. Every character of the text belongs to exactly
// one token, so joining the texts gives the statement back.
struct TsqlToken
{
    enum class Type
    {
        Space, // blanks and line breaks
        Comment, // -- to the end of the line, /* ... */
        Word, // names and keywords
        Name, // [quoted name] or "quoted name"
        String, // 'text' ('' inside), N'text'
        Number, // 12, 12.5, .5, 1e3, 0x1F
        Variable, // @name, @@IDENTITY
        Symbol, // ( ) , . ; + - * / % = < > <= >= <> != || and the rest
    };
    Type type = Type::Space;
    QString text;

    bool isWord(const char* upperWord) const;
    bool isSymbol(const char* symbol) const;
    bool significant() const { return type != Type::Space && type != Type::Comment; }
    // The name a Word or Name token stands for (brackets or quotes removed).
    QString name() const;
    // The content of a String token, quotes removed and '' undone.
    QString stringValue() const;
};

// Splits `text` into tokens. False with `error` set for an unterminated literal, name or comment.
bool tokenizeTsql(const QString& text, QList<TsqlToken>& tokens, QString& error);
