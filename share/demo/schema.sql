-- Demo database of the trading suite, for the embedded engine.
--
-- The suite's tables and views as the programs see them. Views of the suite (V_..., VT_...) are plain
-- tables here unless the program only reads them and a join keeps them in step with their base.
-- Column types are written as the suite's server declares them: the program reads declared sizes
-- (varchar(n)) and type codes from them. Every text column compares like the suite's server: case
-- and trailing blanks ignored, accents kept (collation TEXTO, registered on every connection).
-- Dates are stored as 'YYYY-MM-DD HH:MM:SS' (midnight for plain dates), flags as 0/1, money in the
-- money type (numbers), codes fitted to their width as the suite writes them ("   1").

PRAGMA foreign_keys = OFF;

-- ---------------------------------------------------------------- configuration, users, access

CREATE TABLE TA_CONFIGURACION (
    GRUPO varchar(50) COLLATE TEXTO NOT NULL DEFAULT '',
    CLAVE varchar(100) COLLATE TEXTO NOT NULL,
    VALOR varchar(255) COLLATE TEXTO,
    valoraux text COLLATE TEXTO,
    PoliticaNegocio bit DEFAULT 0
);
CREATE INDEX IX_TA_CONFIGURACION_CLAVE ON TA_CONFIGURACION (CLAVE, GRUPO);

CREATE TABLE TA_USUARIOS (
    NOMBRE varchar(50) COLLATE TEXTO NOT NULL,
    SISTEMA varchar(20) COLLATE TEXTO NOT NULL,
    Password varchar(100) COLLATE TEXTO,
    Administrador int DEFAULT 0,
    UNegocio varchar(4) COLLATE TEXTO,
    verproforma bit DEFAULT 0,
    clasepusa varchar(50) COLLATE TEXTO,
    Email_Nombre varchar(100) COLLATE TEXTO,
    eMail_Server varchar(50) COLLATE TEXTO,
    email_usuario varchar(100) COLLATE TEXTO,
    email_Password varchar(100) COLLATE TEXTO,
    email_ServerOtro varchar(100) COLLATE TEXTO,
    email_de varchar(100) COLLATE TEXTO,
    PRIMARY KEY (NOMBRE, SISTEMA)
);

CREATE TABLE TA_MENU (
    Clave varchar(50) COLLATE TEXTO NOT NULL PRIMARY KEY,
    Proceso varchar(50) COLLATE TEXTO,
    Nombre varchar(100) COLLATE TEXTO
);

CREATE TABLE TA_TAREAS (
    USUARIO varchar(50) COLLATE TEXTO NOT NULL,
    TAREA varchar(50) COLLATE TEXTO NOT NULL,
    PRIMARY KEY (USUARIO, TAREA)
);

CREATE TABLE Control_Acceso (
    ID INTEGER PRIMARY KEY,
    Maquina varchar(50) COLLATE TEXTO,
    Usuario varchar(50) COLLATE TEXTO,
    Formulario varchar(100) COLLATE TEXTO,
    Tarea varchar(100) COLLATE TEXTO,
    Ingreso datetime,
    NombreUsuario varchar(50) COLLATE TEXTO,
    Egreso datetime
);

CREATE TABLE V_MV_CPTEACCIONES (
    ID INTEGER PRIMARY KEY,
    TC varchar(4) COLLATE TEXTO,
    IdComprobante varchar(13) COLLATE TEXTO,
    IdComplemento int DEFAULT 0,
    Tipo_accion varchar(2) COLLATE TEXTO,
    FECHAHORA datetime,
    Usuario varchar(50) COLLATE TEXTO,
    PC varchar(50) COLLATE TEXTO,
    SYSTEMUSER varchar(255) COLLATE TEXTO,
    Proceso varchar(255) COLLATE TEXTO,
    ProcesoLote varchar(25) COLLATE TEXTO DEFAULT '',
    Cuenta varchar(15) COLLATE TEXTO
);

CREATE TABLE AUX_ERR (
    ID INTEGER PRIMARY KEY,
    Proceso varchar(255) COLLATE TEXTO,
    fecha datetime,
    Error int,
    Descripcion varchar(250) COLLATE TEXTO,
    Sql text COLLATE TEXTO,
    PC varchar(50) COLLATE TEXTO,
    Usuario varchar(50) COLLATE TEXTO
);

-- Window states and the price list's templates.
CREATE TABLE TA_CONFIG_FORM (
    ID INTEGER PRIMARY KEY,
    FORMULARIO varchar(100) COLLATE TEXTO NOT NULL,
    USUARIO varchar(50) COLLATE TEXTO NOT NULL DEFAULT '',
    TIPOOBJETO varchar(50) COLLATE TEXTO,
    NOMBRE varchar(50) COLLATE TEXTO,
    PROPIEDAD varchar(50) COLLATE TEXTO,
    DATAFIELD varchar(50) COLLATE TEXTO,
    VALOR text COLLATE TEXTO
);
CREATE INDEX IX_TA_CONFIG_FORM ON TA_CONFIG_FORM (FORMULARIO, USUARIO, ID);

-- Report files by report name (or "MACHINE|WINUSER|name" for one workstation).
CREATE TABLE TA_REPORTES (
    NOMBRE varchar(100) COLLATE TEXTO NOT NULL PRIMARY KEY,
    Descripcion varchar(100) COLLATE TEXTO,
    Archivo varchar(255) COLLATE TEXTO,
    Archivo2 varchar(255) COLLATE TEXTO,
    Archivo3 varchar(255) COLLATE TEXTO,
    Archivo4 varchar(255) COLLATE TEXTO
);

CREATE TABLE TA_CONFIG_IMP_CPTE (
    ID INTEGER PRIMARY KEY,
    TC varchar(4) COLLATE TEXTO NOT NULL,
    LETRA varchar(1) COLLATE TEXTO,
    USUARIO varchar(50) COLLATE TEXTO,
    impresora varchar(255) COLLATE TEXTO,
    CantCopias varchar(10) COLLATE TEXTO,
    CantLineas varchar(10) COLLATE TEXTO,
    DestinoDefault varchar(50) COLLATE TEXTO
);

-- ---------------------------------------------------------------- company and reference tables

CREATE TABLE V_TA_UNIDADNEGOCIO (
    codigo varchar(4) COLLATE TEXTO NOT NULL PRIMARY KEY,
    Descripcion varchar(50) COLLATE TEXTO,
    razon_social varchar(100) COLLATE TEXTO,
    Cuit varchar(13) COLLATE TEXTO,
    PDV varchar(4) COLLATE TEXTO,
    usaefc smallint DEFAULT 0,
    ruta_reporte varchar(255) COLLATE TEXTO
);

CREATE TABLE TA_CONDIVA (
    Codigo varchar(4) COLLATE TEXTO NOT NULL PRIMARY KEY,
    DESCRIPCION varchar(50) COLLATE TEXTO
);

CREATE TABLE ta_monedas (
    Codigo varchar(4) COLLATE TEXTO NOT NULL PRIMARY KEY,
    Descripcion varchar(50) COLLATE TEXTO,
    Simbolo varchar(5) COLLATE TEXTO
);

CREATE TABLE TA_COTIZACION (
    ID INTEGER PRIMARY KEY,
    FECHA_HORA datetime NOT NULL,
    MONEDA2 float,
    MONEDA3 float
);
CREATE INDEX IX_TA_COTIZACION_FECHA ON TA_COTIZACION (FECHA_HORA);

CREATE TABLE V_TA_CPTE (
    Codigo varchar(4) COLLATE TEXTO NOT NULL PRIMARY KEY,
    Descripcion varchar(50) COLLATE TEXTO,
    SISTEMA varchar(20) COLLATE TEXTO
);

CREATE TABLE V_TA_BANCOS (
    IDBANCO varchar(4) COLLATE TEXTO NOT NULL PRIMARY KEY,
    DESCRIPCION varchar(50) COLLATE TEXTO
);

CREATE TABLE V_TA_VENDEDORES (
    IdVendedor varchar(4) COLLATE TEXTO NOT NULL PRIMARY KEY,
    NOMBRE varchar(50) COLLATE TEXTO
);

CREATE TABLE V_TA_TECNICOS (
    IDTECNICO varchar(4) COLLATE TEXTO NOT NULL PRIMARY KEY,
    NOMBRE varchar(50) COLLATE TEXTO
);

CREATE TABLE V_MA_MANTENIMIENTOS (
    CODIGO varchar(10) COLLATE TEXTO NOT NULL PRIMARY KEY,
    DESCRIPCION varchar(100) COLLATE TEXTO
);

CREATE TABLE V_TA_Tareas (
    IdTarea varchar(10) COLLATE TEXTO NOT NULL PRIMARY KEY,
    Descripcion varchar(100) COLLATE TEXTO
);

CREATE TABLE V_TA_Unidad (
    IdUnidad varchar(4) COLLATE TEXTO NOT NULL PRIMARY KEY,
    Descripcion varchar(50) COLLATE TEXTO
);

CREATE TABLE V_TA_STATUS (
    CodigoEstado varchar(4) COLLATE TEXTO NOT NULL PRIMARY KEY,
    Descripcion varchar(50) COLLATE TEXTO,
    Tipo varchar(4) COLLATE TEXTO
);

CREATE TABLE V_TA_CAJAS (
    IdCaja varchar(4) COLLATE TEXTO NOT NULL PRIMARY KEY,
    Descripcion varchar(50) COLLATE TEXTO,
    UNegocio varchar(4) COLLATE TEXTO
);

CREATE TABLE TA_CCOSTO (
    CODIGO varchar(10) COLLATE TEXTO NOT NULL PRIMARY KEY,
    Descripcion varchar(50) COLLATE TEXTO
);

CREATE TABLE MA_POSICIONES (
    IDPOSICION varchar(10) COLLATE TEXTO NOT NULL PRIMARY KEY,
    Descripcion varchar(50) COLLATE TEXTO
);

CREATE TABLE ta_clasificaciones (
    Codigo varchar(4) COLLATE TEXTO NOT NULL PRIMARY KEY,
    Descripcion varchar(50) COLLATE TEXTO,
    Color varchar(20) COLLATE TEXTO
);

-- Purchase and sales conditions; PORCRECARGO is the surcharge in percent (negative: a discount).
CREATE TABLE V_ta_Cpra_Vta (
    idCOND_CPRA_VTA varchar(4) COLLATE TEXTO NOT NULL PRIMARY KEY,
    DESCRIPCION varchar(50) COLLATE TEXTO,
    PORCRECARGO money DEFAULT 0
);

CREATE TABLE v_mv_mutuales (
    ID INTEGER PRIMARY KEY,
    Descripcion varchar(50) COLLATE TEXTO,
    FECHAHORA_MODIFICACION datetime,
    FECHAHORA_GRABACION datetime
);

CREATE TABLE V_MV_TROPA_STOCK (
    ID INTEGER PRIMARY KEY,
    Descripcion varchar(50) COLLATE TEXTO,
    FECHAHORA_MODIFICACION datetime,
    FECHAHORA_GRABACION datetime
);

-- ---------------------------------------------------------------- accounts, customers, suppliers

-- Chart of accounts. MedioDePago: EF cash, CH cheque, TJ card, DC/DB debit, RI/RG/RB/RO withholdings.
CREATE TABLE MA_CUENTAS (
    Codigo varchar(15) COLLATE TEXTO NOT NULL PRIMARY KEY,
    CodigoOpcional varchar(15) COLLATE TEXTO,
    Descripcion varchar(100) COLLATE TEXTO,
    MedioDePago varchar(2) COLLATE TEXTO,
    TipoVista varchar(2) COLLATE TEXTO
);
CREATE INDEX IX_MA_CUENTAS_OPCIONAL ON MA_CUENTAS (CodigoOpcional);

CREATE TABLE MA_CUENTASADIC (
    CODIGO varchar(15) COLLATE TEXTO NOT NULL PRIMARY KEY,
    Mail varchar(255) COLLATE TEXTO
);

CREATE TABLE VT_CLIENTES (
    CODIGO varchar(15) COLLATE TEXTO NOT NULL PRIMARY KEY,
    RAZON_SOCIAL varchar(100) COLLATE TEXTO,
    CONTACTO varchar(100) COLLATE TEXTO,
    CUIT varchar(13) COLLATE TEXTO,
    Domicilio varchar(100) COLLATE TEXTO,
    Localidad varchar(50) COLLATE TEXTO,
    Telefono varchar(30) COLLATE TEXTO,
    fax varchar(30) COLLATE TEXTO,
    email varchar(255) COLLATE TEXTO,
    Dada_De_Baja bit DEFAULT 0
);
CREATE INDEX IX_VT_CLIENTES_RAZON ON VT_CLIENTES (RAZON_SOCIAL);

CREATE TABLE VT_PROVEEDORES (
    CODIGO varchar(15) COLLATE TEXTO NOT NULL PRIMARY KEY,
    RAZON_SOCIAL varchar(100) COLLATE TEXTO,
    CONTACTO varchar(100) COLLATE TEXTO,
    CUIT varchar(13) COLLATE TEXTO,
    Domicilio varchar(100) COLLATE TEXTO,
    Localidad varchar(50) COLLATE TEXTO,
    Telefono varchar(30) COLLATE TEXTO,
    email varchar(255) COLLATE TEXTO,
    Dada_De_Baja bit DEFAULT 0
);
CREATE INDEX IX_VT_PROVEEDORES_RAZON ON VT_PROVEEDORES (RAZON_SOCIAL);

CREATE TABLE MA_CONTACTOS (
    IdContacto INTEGER PRIMARY KEY,
    Nombre_y_Apellido varchar(100) COLLATE TEXTO,
    Cargo varchar(50) COLLATE TEXTO,
    Domicilio varchar(100) COLLATE TEXTO,
    Localidad varchar(50) COLLATE TEXTO,
    Telefono varchar(30) COLLATE TEXTO,
    CELULAR varchar(30) COLLATE TEXTO,
    email varchar(255) COLLATE TEXTO,
    CuentaRel varchar(15) COLLATE TEXTO,
    mailPGCB bit,
    MAILOT bit,
    MAILOC bit
);
CREATE INDEX IX_MA_CONTACTOS_CUENTA ON MA_CONTACTOS (CuentaRel);
-- The sender looks the recipient up by address each time "Para" is left.
CREATE INDEX IX_MA_CONTACTOS_EMAIL ON MA_CONTACTOS (email);

CREATE TABLE MA_CONTACTOS_CUENTAS (
    IDCONTACTO int NOT NULL,
    CUENTA varchar(15) COLLATE TEXTO NOT NULL,
    PRIMARY KEY (IDCONTACTO, CUENTA)
);
CREATE INDEX IX_MA_CONTACTOS_CUENTAS_CUENTA ON MA_CONTACTOS_CUENTAS (CUENTA);

-- Known addresses for the sender's lookups.
CREATE VIEW vt_e_mail AS
    SELECT c.Descripcion AS razonsocial, m.Nombre_y_Apellido AS Contacto, m.Cargo AS Cargo,
           m.Telefono AS Telefono, m.email AS email, m.CuentaRel AS cuenta
    FROM MA_CONTACTOS m LEFT JOIN MA_CUENTAS c ON c.Codigo = m.CuentaRel
    WHERE m.email IS NOT NULL AND m.email <> '';

CREATE VIEW vt_ma_cuentas_contactos AS
    SELECT r.CUENTA AS cuenta, m.Nombre_y_Apellido AS nombre_y_apellido, m.CELULAR AS celular,
           m.Telefono AS telefono, m.IdContacto AS IdContacto
    FROM MA_CONTACTOS_CUENTAS r INNER JOIN MA_CONTACTOS m ON m.IdContacto = r.IDCONTACTO;

CREATE TABLE MA_CUENTAS_ARCHIVOS_RELACIONADOS (
    ID INTEGER PRIMARY KEY,
    CUENTA varchar(15) COLLATE TEXTO,
    RUTA_ARCHIVO varchar(255) COLLATE TEXTO,
    OBSERVACIONES varchar(255) COLLATE TEXTO,
    EsPresupuesto bit DEFAULT 0,
    NroPresupuesto varchar(20) COLLATE TEXTO
);

CREATE TABLE AC_CUENTASDIARIO (
    Cuenta varchar(15) COLLATE TEXTO NOT NULL PRIMARY KEY,
    Descripcion varchar(100) COLLATE TEXTO
);

CREATE TABLE AC_CUENTASDIARIO_CCOSTO (
    Cuenta varchar(15) COLLATE TEXTO NOT NULL,
    CCosto varchar(10) COLLATE TEXTO NOT NULL,
    Descripcion varchar(100) COLLATE TEXTO,
    PRIMARY KEY (Cuenta, CCosto)
);

-- ---------------------------------------------------------------- articles, prices, stock

-- Sections ("rubros"): codes fitted to 4 ("   1").
CREATE TABLE V_TA_RUBROS (
    idrubro varchar(4) COLLATE TEXTO NOT NULL PRIMARY KEY,
    Descripcion varchar(50) COLLATE TEXTO
);

-- Families: hierarchical codes, three letters per level; a family's parent is its code cut by three.
CREATE TABLE V_TA_FAMILIAS (
    IdFamilia varchar(20) COLLATE TEXTO NOT NULL PRIMARY KEY,
    Descripcion varchar(50) COLLATE TEXTO
);

-- Brands of the articles (the articles' idtipo).
CREATE TABLE V_TA_MARCAS (
    idtipo varchar(4) COLLATE TEXTO NOT NULL PRIMARY KEY,
    Descripcion varchar(50) COLLATE TEXTO
);

CREATE TABLE V_TA_DEPOSITO (
    IdDeposito varchar(4) COLLATE TEXTO NOT NULL PRIMARY KEY,
    Descripcion varchar(50) COLLATE TEXTO,
    Unidad varchar(4) COLLATE TEXTO
);

-- Articles. PRECIO1..8 repeat the article's prices in the base sales list for the lookups.
CREATE TABLE V_MA_ARTICULOS (
    IDARTICULO varchar(25) COLLATE TEXTO NOT NULL PRIMARY KEY,
    Descripcion varchar(100) COLLATE TEXTO,
    idrubro varchar(4) COLLATE TEXTO,
    idfamilia varchar(20) COLLATE TEXTO,
    idtipo varchar(4) COLLATE TEXTO,
    cuentaProveedor varchar(15) COLLATE TEXTO,
    CodigoArtProveedor varchar(30) COLLATE TEXTO,
    CodigoBarra varchar(20) COLLATE TEXTO,
    IdUnidad varchar(4) COLLATE TEXTO,
    SUSPENDIDO bit NOT NULL DEFAULT 0,
    SUSPENDIDOC bit NOT NULL DEFAULT 0,
    TASAIVA float DEFAULT 0,
    EXENTO bit DEFAULT 0,
    Pesable bit DEFAULT 0,
    talledefault varchar(10) COLLATE TEXTO,
    PUNTOPEDIDO float DEFAULT 0,
    PRECIO1 money DEFAULT 0,
    PRECIO2 money DEFAULT 0,
    PRECIO3 money DEFAULT 0,
    PRECIO4 money DEFAULT 0,
    PRECIO5 money DEFAULT 0,
    PRECIO6 money DEFAULT 0,
    PRECIO7 money DEFAULT 0,
    PRECIO8 money DEFAULT 0
);
-- The price list's sort orders, alone and within a section, family or supplier group. The rows
-- sit in code order, so an order by description reaching for each row would jump around the file:
-- the description orders carry the code and the suspension flag, all a price list reads of the
-- article, and the list never leaves the index.
CREATE INDEX IX_ARTICULOS_DESCRIPCION ON V_MA_ARTICULOS (Descripcion, IDARTICULO, SUSPENDIDO);
CREATE INDEX IX_ARTICULOS_MARCA ON V_MA_ARTICULOS (idtipo, IDARTICULO);
CREATE INDEX IX_ARTICULOS_RUBRO_CODIGO ON V_MA_ARTICULOS (idrubro, IDARTICULO);
CREATE INDEX IX_ARTICULOS_RUBRO_DESCRIPCION
    ON V_MA_ARTICULOS (idrubro, Descripcion, IDARTICULO, SUSPENDIDO);
CREATE INDEX IX_ARTICULOS_FAMILIA_CODIGO ON V_MA_ARTICULOS (idfamilia, IDARTICULO);
CREATE INDEX IX_ARTICULOS_FAMILIA_DESCRIPCION
    ON V_MA_ARTICULOS (idfamilia, Descripcion, IDARTICULO, SUSPENDIDO);
CREATE INDEX IX_ARTICULOS_PROVEEDOR_CODIGO ON V_MA_ARTICULOS (cuentaProveedor, IDARTICULO);
CREATE INDEX IX_ARTICULOS_PROVEEDOR_DESCRIPCION
    ON V_MA_ARTICULOS (cuentaProveedor, Descripcion, IDARTICULO, SUSPENDIDO);
-- Lookups by a trimmed code (the voucher lines' supplier code) find the article by index.
CREATE INDEX IX_ARTICULOS_CODIGO_RECORTADO ON V_MA_ARTICULOS (ltrim(rtrim(IDARTICULO)) COLLATE TEXTO);

-- Stock per article and warehouse.
CREATE TABLE STK_MA_ARTICULOS (
    IDARTICULO varchar(25) COLLATE TEXTO NOT NULL,
    DEPOSITO varchar(4) COLLATE TEXTO NOT NULL DEFAULT '',
    Stock float DEFAULT 0,
    PUNTOPEDIDO float DEFAULT 0,
    PRIMARY KEY (IDARTICULO, DEPOSITO)
);
-- An article's stock rows with their quantity: a price list in description order finds them
-- here without a second read in the table.
CREATE INDEX IX_STOCK_ARTICULO ON STK_MA_ARTICULOS (IDARTICULO, DEPOSITO, Stock);

-- The article lookups' view: the article with its stock over every warehouse.
CREATE VIEW VT_MA_ARTICULOS AS
    SELECT a.IDARTICULO AS IDARTICULO, a.Descripcion AS DESCRIPCION, a.idrubro AS idrubro,
           a.idfamilia AS idfamilia, a.idtipo AS idtipo, a.cuentaProveedor AS cuentaProveedor,
           a.CodigoBarra AS CodigoBarra, a.SUSPENDIDO AS SUSPENDIDO, a.PUNTOPEDIDO AS PUNTOPEDIDO,
           (SELECT IFNULL(SUM(s.Stock), 0) FROM STK_MA_ARTICULOS s
            WHERE s.IDARTICULO = a.IDARTICULO) AS Stock,
           a.PRECIO1 AS PRECIO1, a.PRECIO2 AS PRECIO2, a.PRECIO3 AS PRECIO3, a.PRECIO4 AS PRECIO4,
           a.PRECIO5 AS PRECIO5, a.PRECIO6 AS PRECIO6, a.PRECIO7 AS PRECIO7, a.PRECIO8 AS PRECIO8
    FROM V_MA_ARTICULOS a;

-- Price list headers. TIPOLISTA "V" sales, "C" purchase; GRUPO joins lists into a group.
CREATE TABLE V_MA_PRECIOSCAB (
    IDLISTA varchar(4) COLLATE TEXTO NOT NULL PRIMARY KEY,
    NOMBRE varchar(50) COLLATE TEXTO,
    TIPOLISTA varchar(1) COLLATE TEXTO NOT NULL DEFAULT 'V',
    GRUPO varchar(50) COLLATE TEXTO,
    Moneda varchar(4) COLLATE TEXTO
);
CREATE INDEX IX_PRECIOSCAB_TIPO ON V_MA_PRECIOSCAB (TIPOLISTA, IDLISTA);

-- Prices per list and article: cost and the eight price classes.
CREATE TABLE MA_PRECIOS (
    IdLista varchar(4) COLLATE TEXTO NOT NULL,
    IdArticulo varchar(25) COLLATE TEXTO NOT NULL,
    COSTO money DEFAULT 0,
    PRECIO1 money DEFAULT 0,
    PRECIO2 money DEFAULT 0,
    PRECIO3 money DEFAULT 0,
    PRECIO4 money DEFAULT 0,
    PRECIO5 money DEFAULT 0,
    PRECIO6 money DEFAULT 0,
    PRECIO7 money DEFAULT 0,
    PRECIO8 money DEFAULT 0,
    ConIVA bit DEFAULT 0,
    FhOfertaDesde datetime,
    FhOfertaHasta datetime,
    PRIMARY KEY (IdLista, IdArticulo)
);
CREATE INDEX IX_PRECIOS_ARTICULO ON MA_PRECIOS (IdArticulo, IdLista);
-- A list's amounts in one place, by article: the rows themselves lie article by article across
-- every list, so a list in description order would otherwise read a page of the table per row.
CREATE INDEX IX_PRECIOS_LISTA ON MA_PRECIOS
    (IdLista, IdArticulo, COSTO, PRECIO1, PRECIO2, PRECIO3, PRECIO4, PRECIO5, PRECIO6, PRECIO7,
     PRECIO8);

-- The suite's price view: a list's prices with its header. Reading the list code from the header
-- lets the engine walk one list after the other and each list in an article index's order. The
-- "+" keeps a range of list codes on the headers: SQLite would otherwise carry it over to the
-- prices, guess it far more selective than it is and read the prices by that range, sorting
-- every row before the first.
CREATE VIEW V_MA_PRECIOS AS
    SELECT c.IDLISTA AS IdLista, c.NOMBRE AS Nombre, c.TIPOLISTA AS TIPOLISTA, c.GRUPO AS GRUPO,
           p.IdArticulo AS IdArticulo, p.COSTO AS COSTO,
           p.PRECIO1 AS PRECIO1, p.PRECIO2 AS PRECIO2, p.PRECIO3 AS PRECIO3, p.PRECIO4 AS PRECIO4,
           p.PRECIO5 AS PRECIO5, p.PRECIO6 AS PRECIO6, p.PRECIO7 AS PRECIO7, p.PRECIO8 AS PRECIO8,
           p.ConIVA AS ConIVA, p.FhOfertaDesde AS FhOfertaDesde, p.FhOfertaHasta AS FhOfertaHasta
    FROM V_MA_PRECIOSCAB c INNER JOIN MA_PRECIOS p ON p.IdLista = +c.IDLISTA;

-- Per-user work table of the cost analysis across up to four sales lists.
CREATE TABLE AUX_ANALISISCOSTOS (
    IDARTICULO varchar(25) COLLATE TEXTO NOT NULL,
    USUARIO varchar(100) COLLATE TEXTO NOT NULL,
    L1 varchar(50) COLLATE TEXTO,
    L1_UTL money,
    L1_PVENTA money,
    L1_IVA money,
    L1_FHOFERTA_DESDE datetime,
    L1_FHOFERTA_HASTA datetime,
    L2 varchar(50) COLLATE TEXTO,
    L2_UTL money,
    L2_PVENTA money,
    L2_IVA money,
    L2_FHOFERTA_DESDE datetime,
    L2_FHOFERTA_HASTA datetime,
    L3 varchar(50) COLLATE TEXTO,
    L3_UTL money,
    L3_PVENTA money,
    L3_IVA money,
    L3_FHOFERTA_DESDE datetime,
    L3_FHOFERTA_HASTA datetime,
    L4 varchar(50) COLLATE TEXTO,
    L4_UTL money,
    L4_PVENTA money,
    L4_IVA money,
    L4_FHOFERTA_DESDE datetime,
    L4_FHOFERTA_HASTA datetime
);
CREATE INDEX IX_AUX_ANALISISCOSTOS ON AUX_ANALISISCOSTOS (USUARIO, IDARTICULO);

CREATE TABLE V_MV_FALTANTES (
    ID INTEGER PRIMARY KEY,
    FechaHora datetime,
    IdArticulo varchar(25) COLLATE TEXTO,
    Descripcion varchar(100) COLLATE TEXTO,
    Usuario varchar(50) COLLATE TEXTO
);

CREATE TABLE stk_despachos (
    NroLote varchar(30) COLLATE TEXTO NOT NULL PRIMARY KEY,
    ControladoPor varchar(10) COLLATE TEXTO,
    Descripcion varchar(100) COLLATE TEXTO
);

-- ---------------------------------------------------------------- vouchers

-- Sales voucher headers. IDCOMPROBANTE: point of sale (4), number (8), letter (1).
CREATE TABLE V_MV_CPTE (
    ID INTEGER PRIMARY KEY,
    TC varchar(4) COLLATE TEXTO NOT NULL,
    IDCOMPROBANTE varchar(13) COLLATE TEXTO NOT NULL,
    IDCOMPLEMENTO int NOT NULL DEFAULT 0,
    UNEGOCIO varchar(4) COLLATE TEXTO,
    FECHA datetime,
    CUENTA varchar(15) COLLATE TEXTO,
    nombre varchar(100) COLLATE TEXTO,
    CondicionIva varchar(4) COLLATE TEXTO,
    documentotipo varchar(4) COLLATE TEXTO,
    DOCUMENTONUMERO varchar(20) COLLATE TEXTO,
    Moneda varchar(4) COLLATE TEXTO,
    IMPORTE money DEFAULT 0,
    CodCpteAfip varchar(4) COLLATE TEXTO,
    ComprobanteOrigen varchar(13) COLLATE TEXTO,
    TcOrigen varchar(4) COLLATE TEXTO,
    IdVendedor varchar(4) COLLATE TEXTO,
    transporte varchar(50) COLLATE TEXTO,
    RetGan_Importe money DEFAULT 0,
    RetIVA_importe money DEFAULT 0,
    RETIBR_Importe money DEFAULT 0,
    ImpDescuento1 money DEFAULT 0,
    retsuss_importe money DEFAULT 0
);
CREATE UNIQUE INDEX UX_V_MV_CPTE ON V_MV_CPTE (TC, IDCOMPROBANTE, IDCOMPLEMENTO);

CREATE TABLE V_MV_CPTE_ELECTRONICOS (
    TC varchar(4) COLLATE TEXTO NOT NULL,
    IDCOMPROBANTE varchar(13) COLLATE TEXTO NOT NULL,
    Fecha_CPTE datetime,
    CAE varchar(20) COLLATE TEXTO,
    VtoCAE datetime,
    PRIMARY KEY (TC, IDCOMPROBANTE)
);

CREATE TABLE V_MV_CPTEINSUMOS (
    ID INTEGER PRIMARY KEY,
    TC varchar(4) COLLATE TEXTO NOT NULL,
    IDCOMPROBANTE varchar(13) COLLATE TEXTO NOT NULL,
    IDCOMPLEMENTO int NOT NULL DEFAULT 0,
    IDARTICULO varchar(25) COLLATE TEXTO,
    DESCRIPCION varchar(100) COLLATE TEXTO,
    IdUnidad varchar(4) COLLATE TEXTO,
    CANTIDAD float DEFAULT 0,
    Cantidadpreparada float DEFAULT 0,
    CANTIDADAFACTURAR float DEFAULT 0,
    IMPORTE money DEFAULT 0,
    Total money DEFAULT 0,
    IMPORTE_S_IVA money DEFAULT 0,
    alicIva float DEFAULT 0,
    PorcDto float DEFAULT 0,
    Impuestos money DEFAULT 0,
    Nro_Lote varchar(255) COLLATE TEXTO,
    Nro_Serie varchar(255) COLLATE TEXTO,
    ControladoPor varchar(10) COLLATE TEXTO,
    CantidadUd float DEFAULT 0,
    IdUnidadBase varchar(4) COLLATE TEXTO,
    Equiv_UDBase float DEFAULT 1,
    CANTIDAD_ORIGEN float DEFAULT 0,
    Ud_Pr varchar(4) COLLATE TEXTO,
    Importe_Ud money DEFAULT 0
);
CREATE INDEX IX_V_MV_CPTEINSUMOS ON V_MV_CPTEINSUMOS (TC, IDCOMPROBANTE, IDCOMPLEMENTO, ID);

CREATE TABLE VT_V_MV_Insumos_NPPendiente (
    TC varchar(4) COLLATE TEXTO NOT NULL,
    IDCOMPROBANTE varchar(13) COLLATE TEXTO NOT NULL,
    IDARTICULO varchar(25) COLLATE TEXTO NOT NULL
);

CREATE TABLE V_MV_CPTETAREAS (
    ID INTEGER PRIMARY KEY,
    TC varchar(4) COLLATE TEXTO NOT NULL,
    IDCOMPROBANTE varchar(13) COLLATE TEXTO NOT NULL,
    IDCOMPLEMENTO int NOT NULL DEFAULT 0,
    IDTAREA varchar(10) COLLATE TEXTO,
    Descripcion varchar(100) COLLATE TEXTO,
    Horas float DEFAULT 0,
    ValorHora money DEFAULT 0,
    Total money DEFAULT 0,
    valorHora_S_Iva money DEFAULT 0,
    descripcionadicional text COLLATE TEXTO
);

CREATE TABLE V_MV_DIARIOS (
    ID INTEGER PRIMARY KEY,
    TC varchar(4) COLLATE TEXTO NOT NULL,
    IDCOMPROBANTE varchar(13) COLLATE TEXTO NOT NULL,
    IDCOMPLEMENTO int NOT NULL DEFAULT 0,
    IDTAREA varchar(10) COLLATE TEXTO,
    Descripcion varchar(100) COLLATE TEXTO,
    Observaciones text COLLATE TEXTO,
    Minutos int DEFAULT 0
);

CREATE TABLE V_MV_CPTE_Observ (
    ID INTEGER PRIMARY KEY,
    TC varchar(4) COLLATE TEXTO NOT NULL,
    IDCOMPROBANTE varchar(13) COLLATE TEXTO NOT NULL,
    IDCOMPLEMENTO int NOT NULL DEFAULT 0,
    Tipo_Obs varchar(2) COLLATE TEXTO,
    Observacion text COLLATE TEXTO,
    Importe money DEFAULT 0,
    Importe_S_IVA money DEFAULT 0,
    fechavj datetime,
    NroViaje varchar(20) COLLATE TEXTO
);

-- Purchase voucher headers.
CREATE TABLE C_MV_CPTE (
    ID INTEGER PRIMARY KEY,
    TC varchar(4) COLLATE TEXTO NOT NULL,
    IDCOMPROBANTE varchar(13) COLLATE TEXTO NOT NULL,
    IDCOMPLEMENTO int NOT NULL DEFAULT 0,
    FECHA datetime,
    CUENTA varchar(15) COLLATE TEXTO,
    IMPORTE money DEFAULT 0
);

-- Stock movement headers.
CREATE TABLE V_MV_STOCK (
    ID INTEGER PRIMARY KEY,
    TC varchar(4) COLLATE TEXTO NOT NULL,
    IDCOMPROBANTE varchar(13) COLLATE TEXTO NOT NULL,
    IDCOMPLEMENTO int NOT NULL DEFAULT 0,
    FECHA datetime,
    DEPOSITO varchar(4) COLLATE TEXTO
);

-- Journal lines.
CREATE TABLE MV_ASIENTOS (
    ID INTEGER PRIMARY KEY,
    TC varchar(4) COLLATE TEXTO NOT NULL,
    SUCURSAL varchar(4) COLLATE TEXTO NOT NULL,
    NUMERO varchar(8) COLLATE TEXTO NOT NULL,
    LETRA varchar(1) COLLATE TEXTO NOT NULL,
    [NUMERO ASIENTO] int,
    MES_OPERATIVO int,
    PERIODO int,
    FECHA datetime,
    FECHASUBDIARIO datetime,
    CABIMPORTE money DEFAULT 0,
    CUENTA varchar(15) COLLATE TEXTO,
    Detalle varchar(100) COLLATE TEXTO,
    Importe money DEFAULT 0,
    [DEBE-HABER] varchar(1) COLLATE TEXTO,
    mediodepago varchar(2) COLLATE TEXTO,
    Moneda varchar(4) COLLATE TEXTO,
    Cotizacion float DEFAULT 1,
    ChPropio bit DEFAULT 0,
    NROCOMPROBANTEBANCARIO varchar(20) COLLATE TEXTO,
    tj_observaciones varchar(100) COLLATE TEXTO,
    IdBanco varchar(4) COLLATE TEXTO,
    vencimiento datetime,
    TJ_NroCupon varchar(20) COLLATE TEXTO,
    TJ_NroSocio varchar(20) COLLATE TEXTO,
    TJ_cuotas int DEFAULT 0,
    LIVA_Ret_IBtos money DEFAULT 0,
    LIVA_Ret_Ganancias money DEFAULT 0,
    LIVA_Ret_Perc money DEFAULT 0
);
CREATE INDEX IX_MV_ASIENTOS_CPTE ON MV_ASIENTOS (TC, SUCURSAL, NUMERO, LETRA);

-- Applications of payments to documents.
CREATE TABLE MV_APLICACION (
    ID INTEGER PRIMARY KEY,
    TC varchar(4) COLLATE TEXTO,
    Sucursal varchar(4) COLLATE TEXTO,
    Numero varchar(8) COLLATE TEXTO,
    Letra varchar(1) COLLATE TEXTO,
    IDCOMPROBANTE varchar(13) COLLATE TEXTO,
    TCO_ORIGEN varchar(4) COLLATE TEXTO,
    SUCURSAL_ORIGEN varchar(4) COLLATE TEXTO,
    NUMERO_ORIGEN varchar(8) COLLATE TEXTO,
    LETRA_ORIGEN varchar(1) COLLATE TEXTO,
    IDCOMPROBANTE_ORIGEN varchar(13) COLLATE TEXTO,
    TC_PRINT varchar(4) COLLATE TEXTO,
    IDCOMPROBANTE_PRINT varchar(13) COLLATE TEXTO,
    CUENTA varchar(15) COLLATE TEXTO,
    IMPORTE money DEFAULT 0
);
CREATE INDEX IX_MV_APLICACION_CPTE ON MV_APLICACION (TC, IDCOMPROBANTE);

CREATE TABLE VE_SALDOAPLICACION (
    TCO_ORIGEN varchar(4) COLLATE TEXTO,
    SUCURSAL_ORIGEN varchar(4) COLLATE TEXTO,
    NUMERO_ORIGEN varchar(8) COLLATE TEXTO,
    LETRA_ORIGEN varchar(1) COLLATE TEXTO,
    CUENTA varchar(15) COLLATE TEXTO,
    SALDO money DEFAULT 0
);

-- Accounts of withholdings and discounts (the first row is read).
CREATE TABLE TA_CUENTASIVA (
    CB_RETIVA varchar(15) COLLATE TEXTO,
    CB_RETGAN varchar(15) COLLATE TEXTO,
    CB_RETIB varchar(15) COLLATE TEXTO,
    CB_DESCUENTO varchar(15) COLLATE TEXTO,
    PG_RETIVA varchar(15) COLLATE TEXTO,
    PG_RETGAN varchar(15) COLLATE TEXTO,
    PG_RETIB varchar(15) COLLATE TEXTO,
    PG_DESCUENTO varchar(15) COLLATE TEXTO,
    CFI_RETPERC varchar(15) COLLATE TEXTO,
    CFI_RETIGAN varchar(15) COLLATE TEXTO,
    CFI_RETIBTOS varchar(15) COLLATE TEXTO
);

-- ---------------------------------------------------------------- print buffers and mail

-- Per-user voucher and receipt print buffer. The column order is relied on: the receipt copies are
-- made with an INSERT ... SELECT of the first columns in this order.
CREATE TABLE AUX_MV_CPTE (
    TC varchar(4) COLLATE TEXTO,
    USUARIO varchar(50) COLLATE TEXTO,
    TIPO varchar(2) COLLATE TEXTO DEFAULT '',
    Seccion varchar(255) COLLATE TEXTO,
    IDCOMPROBANTE varchar(13) COLLATE TEXTO,
    IDCOMPLEMENTO int DEFAULT 0,
    COLUMNA1 varchar(255) COLLATE TEXTO,
    COLUMNA2 varchar(255) COLLATE TEXTO,
    COLUMNA3 varchar(255) COLLATE TEXTO,
    COLUMNA4 varchar(255) COLLATE TEXTO,
    COLUMNA5 varchar(255) COLLATE TEXTO,
    COLUMNA6 varchar(255) COLLATE TEXTO,
    COLUMNA7 varchar(255) COLLATE TEXTO,
    COLUMNA8 varchar(255) COLLATE TEXTO,
    Encabezado text COLLATE TEXTO,
    PieDePagina text COLLATE TEXTO,
    COLUMNA9 varchar(255) COLLATE TEXTO,
    COLUMNA10 varchar(255) COLLATE TEXTO,
    COLUMNA11 varchar(255) COLLATE TEXTO,
    COLUMNA12 varchar(255) COLLATE TEXTO,
    COLUMNA13 varchar(255) COLLATE TEXTO,
    FormaDePago varchar(250) COLLATE TEXTO,
    IMPORTEENLETRAS varchar(255) COLLATE TEXTO,
    COLUMNA14 varchar(255) COLLATE TEXTO,
    COLUMNA15 varchar(255) COLLATE TEXTO,
    COLUMNA16 varchar(255) COLLATE TEXTO,
    COLUMNA17 varchar(255) COLLATE TEXTO,
    CANTIDAD_ORIGEN float,
    ID INTEGER PRIMARY KEY,
    IDARTICULO varchar(25) COLLATE TEXTO
);
CREATE INDEX IX_AUX_MV_CPTE ON AUX_MV_CPTE (USUARIO, TC, IDCOMPROBANTE, IDCOMPLEMENTO);

CREATE TABLE AUX_MV_CPTEQR (
    ID INTEGER PRIMARY KEY,
    Usuario varchar(50) COLLATE TEXTO,
    TC varchar(4) COLLATE TEXTO,
    IdComprobante varchar(13) COLLATE TEXTO,
    muestra_logo varchar(2) COLLATE TEXTO,
    QR_AFIP image,
    IMG_AFIP image,
    LOGO_EMPRESA image
);
CREATE INDEX IX_AUX_MV_CPTEQR ON AUX_MV_CPTEQR (Usuario, TC, IdComprobante);

-- Mail rules by voucher type.
CREATE TABLE v_ma_email (
    ID INTEGER PRIMARY KEY,
    codigoactivador varchar(100) COLLATE TEXTO,
    baja bit DEFAULT 0,
    SinConfirmacion bit,
    De varchar(255) COLLATE TEXTO,
    Para varchar(255) COLLATE TEXTO,
    Asunto varchar(255) COLLATE TEXTO,
    Mensaje text COLLATE TEXTO
);

-- Send log, one row per document sent (written with AddNew).
CREATE TABLE v_ma_emailmov (
    ID INTEGER PRIMARY KEY,
    De varchar(255) COLLATE TEXTO,
    Para text COLLATE TEXTO,
    Asunto varchar(255) COLLATE TEXTO,
    Mensaje text COLLATE TEXTO,
    Adjunto text COLLATE TEXTO,
    CodigoActivador varchar(100) COLLATE TEXTO,
    FechaHora datetime,
    Usuario varchar(50) COLLATE TEXTO,
    TC varchar(4) COLLATE TEXTO,
    IdComprobante varchar(13) COLLATE TEXTO,
    Status text COLLATE TEXTO,
    Cuenta varchar(15) COLLATE TEXTO,
    CuentaEmail varchar(255) COLLATE TEXTO,
    Tipo varchar(1) COLLATE TEXTO,
    contestadopor varchar(255) COLLATE TEXTO,
    uidl varchar(255) COLLATE TEXTO
);

-- ---------------------------------------------------------------- restricted views
-- What a user who is not an administrator may see. In the demo they show everything.

CREATE VIEW SS_MA_CUENTAS AS SELECT * FROM MA_CUENTAS;
CREATE VIEW SS_V_TA_DEPOSITO AS SELECT * FROM V_TA_DEPOSITO;
CREATE VIEW SS_MV_ASIENTOS AS SELECT * FROM MV_ASIENTOS;
CREATE VIEW SS_V_TA_FAMILIAS AS SELECT * FROM V_TA_FAMILIAS;
CREATE VIEW SS_V_TA_CAJAS AS SELECT * FROM V_TA_CAJAS;
CREATE VIEW SS_AC_CUENTASDIARIO AS SELECT * FROM AC_CUENTASDIARIO;
CREATE VIEW SS_AC_CUENTAS_DIARIO_CCOSTO AS SELECT * FROM AC_CUENTASDIARIO_CCOSTO;

-- Purchase voucher item lines.
CREATE TABLE C_MV_CPTEINSUMOS (
    ID INTEGER PRIMARY KEY,
    TC varchar(4) COLLATE TEXTO NOT NULL,
    IDCOMPROBANTE varchar(13) COLLATE TEXTO NOT NULL,
    IDCOMPLEMENTO int NOT NULL DEFAULT 0,
    IDARTICULO varchar(25) COLLATE TEXTO,
    DESCRIPCION varchar(100) COLLATE TEXTO,
    IdUnidad varchar(4) COLLATE TEXTO,
    CANTIDAD float DEFAULT 0,
    IMPORTE money DEFAULT 0,
    Total money DEFAULT 0,
    alicIva float DEFAULT 0,
    Nro_Serie varchar(255) COLLATE TEXTO
);
CREATE INDEX IX_C_MV_CPTEINSUMOS ON C_MV_CPTEINSUMOS (TC, IDCOMPROBANTE, IDCOMPLEMENTO, ID);
