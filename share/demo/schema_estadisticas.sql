-- Statistics database of the suite ("KZQ_ESTADISTICAS"): the settings shared by the suite's
-- programs, such as the command time-out and the customer code on the document server.
CREATE TABLE TA_CONFIGURACION (
    GRUPO varchar(50) COLLATE TEXTO NOT NULL DEFAULT '',
    CLAVE varchar(100) COLLATE TEXTO NOT NULL,
    VALOR varchar(255) COLLATE TEXTO,
    valoraux text COLLATE TEXTO,
    PoliticaNegocio bit DEFAULT 0
);
CREATE INDEX IX_TA_CONFIGURACION_CLAVE ON TA_CONFIGURACION (CLAVE, GRUPO);
