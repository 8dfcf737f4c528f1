#include "tools/DemoCatalog.h"

namespace DemoCatalog {

const std::vector<Rubro>& rubros()
{
    static const std::vector<Rubro> list = {
        {1, "Ferretería"},          {2, "Herramientas"},   {3, "Electricidad"},
        {4, "Plomería y Sanitarios"}, {5, "Pinturería"},   {6, "Jardinería"},
        {7, "Almacén"},             {8, "Bebidas"},        {9, "Limpieza"},
        {10, "Perfumería"},         {11, "Bazar"},         {12, "Materiales de Construcción"},
    };
    return list;
}

const std::vector<FamilyGroup>& familyGroups()
{
    static const std::vector<FamilyGroup> list = {
        {"FER", "Ferretería general"},
        {"HER", "Herramientas"},
        {"HERMAN", "Herramientas manuales"},
        {"ELE", "Electricidad"},
        {"PLO", "Plomería"},
        {"PIN", "Pinturería"},
        {"JAR", "Jardín"},
        {"ALM", "Almacén"},
        {"ALMSEC", "Productos secos"},
        {"BEB", "Bebidas"},
        {"LIM", "Limpieza"},
        {"PER", "Perfumería"},
        {"BAZ", "Bazar"},
        {"CON", "Construcción"},
    };
    return list;
}

const std::vector<Family>& families()
{
    static const std::vector<Family> list = {
        {"FERTOR", "Tornillería", 1, 21, "UN", false, 15, 120,
         {"Tornillo autoperforante", "Tornillo para madera", "Bulón hexagonal", "Tuerca hexagonal",
          "Arandela plana", "Tarugo de nylon", "Varilla roscada"},
         {"4 x 25 mm", "6 x 40 mm", "8 x 50 mm", "10 x 60 mm", "1/4\" x 2\"", "3/8\" x 3\"",
          "caja x 100"}},
        {"FERCLA", "Clavos y fijaciones", 1, 21, "KG", true, 900, 2500,
         {"Clavo punta París", "Clavo de techo", "Clavo sin cabeza", "Grampa para alambre",
          "Remache pop"},
         {"1\"", "1 1/2\"", "2\"", "2 1/2\"", "3\"", "4\""}},
        {"FERCER", "Cerrajería", 1, 21, "UN", false, 2500, 28000,
         {"Cerradura de embutir", "Candado de bronce", "Pasador de seguridad", "Bisagra a munición",
          "Cerrojo", "Manija doble balancín", "Picaporte"},
         {"", "chico", "mediano", "grande", "30 mm", "40 mm", "50 mm"}},
        {"FERALA", "Alambres y cadenas", 1, 21, "MT", false, 300, 4500,
         {"Alambre galvanizado", "Alambre de púa", "Cadena soldada", "Cable de acero",
          "Tejido romboidal"},
         {"n.º 14", "n.º 16", "n.º 17", "4 mm", "6 mm", "1,50 m"}},
        {"HERMANDES", "Destornilladores", 2, 21, "UN", false, 1800, 9000,
         {"Destornillador plano", "Destornillador Phillips", "Juego de destornilladores",
          "Destornillador buscapolo"},
         {"3 x 75 mm", "5 x 100 mm", "6 x 150 mm", "8 x 200 mm", "x 6 piezas"}},
        {"HERMANLLA", "Llaves", 2, 21, "UN", false, 2500, 35000,
         {"Llave combinada", "Llave ajustable", "Llave francesa", "Juego de llaves tubo",
          "Llave Allen", "Pinza pico de loro"},
         {"8 mm", "10 mm", "13 mm", "17 mm", "19 mm", "8\"", "10\"", "12\""}},
        {"HERMANMAR", "Martillos y mazas", 2, 21, "UN", false, 5000, 26000,
         {"Martillo carpintero", "Martillo de bola", "Maza de goma", "Maza de acero", "Pico"},
         {"300 g", "500 g", "1 kg", "2 kg", "mango de fibra"}},
        {"HERMANMED", "Medición y trazado", 2, 21, "UN", false, 2000, 22000,
         {"Cinta métrica", "Nivel de aluminio", "Escuadra de carpintero", "Plomada",
          "Metro plegable de madera"},
         {"3 m", "5 m", "8 m", "30 cm", "60 cm", "1 m"}},
        {"HERELE", "Herramientas eléctricas", 2, 21, "UN", false, 45000, 260000,
         {"Taladro percutor", "Amoladora angular", "Sierra circular", "Lijadora orbital",
          "Atornillador inalámbrico", "Rotomartillo", "Caladora"},
         {"500 W", "650 W", "710 W", "850 W", "1200 W", "12 V", "18 V"}},
        {"HERACC", "Accesorios para herramientas", 2, 21, "UN", false, 600, 9000,
         {"Mecha para metal", "Mecha para hormigón", "Disco de corte", "Disco flap",
          "Hoja de sierra", "Lija al agua"},
         {"4 mm", "6 mm", "8 mm", "10 mm", "115 mm", "180 mm", "grano 80", "grano 120"}},
        {"ELECAB", "Cables y conductores", 3, 21, "MT", false, 250, 3200,
         {"Cable unipolar", "Cable taller", "Cable subterráneo", "Cable coaxial", "Cordón paralelo"},
         {"1 mm²", "1,5 mm²", "2,5 mm²", "4 mm²", "2 x 1 mm²", "3 x 2,5 mm²"}},
        {"ELEILU", "Iluminación", 3, 21, "UN", false, 900, 18000,
         {"Lámpara LED", "Tubo LED", "Reflector LED", "Plafón LED", "Portalámpara",
          "Farol de pared"},
         {"7 W", "9 W", "12 W", "18 W", "20 W", "50 W", "luz cálida", "luz fría"}},
        {"ELETOM", "Llaves, tomas y protecciones", 3, 21, "UN", false, 1200, 24000,
         {"Tomacorriente doble", "Llave de un punto", "Interruptor diferencial",
          "Llave termomagnética", "Zapatilla con interruptor", "Ficha macho"},
         {"10 A", "16 A", "20 A", "25 A", "2 x 25 A", "4 tomas", "5 tomas"}},
        {"PLOCAN", "Caños y conexiones", 4, 21, "UN", false, 300, 14000,
         {"Caño de PVC", "Caño de polipropileno", "Codo a 90°", "Cupla", "Tee", "Niple",
          "Llave de paso"},
         {"1/2\"", "3/4\"", "1\"", "40 mm", "50 mm", "110 mm", "x 4 m"}},
        {"PLOGRI", "Grifería", 4, 21, "UN", false, 6000, 95000,
         {"Canilla de jardín", "Grifería monocomando", "Juego de ducha", "Flexible de acero",
          "Sifón", "Depósito de colgar"},
         {"cromada", "blanca", "1/2\"", "30 cm", "40 cm", "para cocina", "para baño"}},
        {"PINLAT", "Látex", 5, 21, "LT", false, 6000, 85000,
         {"Látex interior", "Látex exterior", "Látex para cielorrasos", "Membrana líquida"},
         {"1 l", "4 l", "10 l", "20 l", "blanco", "mate"}},
        {"PINESM", "Esmaltes y barnices", 5, 21, "LT", false, 4500, 60000,
         {"Esmalte sintético", "Barniz marino", "Convertidor de óxido", "Laca poliuretánica",
          "Impregnante para madera"},
         {"1/4 l", "1/2 l", "1 l", "4 l", "brillante", "satinado", "negro", "blanco"}},
        {"PINACC", "Accesorios de pintura", 5, 21, "UN", false, 700, 9000,
         {"Pincel", "Rodillo de lana", "Bandeja para rodillo", "Espátula", "Cinta de enmascarar",
          "Diluyente"},
         {"n.º 10", "n.º 20", "n.º 30", "22 cm", "18 mm", "1 l"}},
        {"JARHER", "Herramientas de jardín", 6, 21, "UN", false, 3500, 42000,
         {"Pala de punta", "Rastrillo", "Tijera de podar", "Azada", "Carretilla"},
         {"", "mango largo", "mango corto", "reforzada", "90 l"}},
        {"JARRIE", "Riego", 6, 21, "UN", false, 800, 30000,
         {"Manguera reforzada", "Regador", "Aspersor", "Conector rápido", "Pistola de riego"},
         {"1/2\" x 15 m", "1/2\" x 25 m", "3/4\" x 25 m", "plástico", "metálico"}},
        {"JARSEM", "Semillas y fertilizantes", 6, 10.5, "UN", false, 500, 12000,
         {"Semillas de césped", "Fertilizante granulado", "Tierra fértil", "Abono orgánico"},
         {"500 g", "1 kg", "5 kg", "25 dm³", "50 dm³"}},
        {"ALMSECFID", "Fideos y pastas secas", 7, 10.5, "UN", false, 700, 2600,
         {"Fideos spaghetti", "Fideos tirabuzón", "Fideos moñito", "Fideos de sémola",
          "Ñoquis secos"},
         {"500 g", "1 kg"}},
        {"ALMSECHAR", "Harinas, arroz y legumbres", 7, 10.5, "UN", false, 600, 3500,
         {"Harina 000", "Harina 0000", "Harina leudante", "Arroz largo fino", "Arroz doble carolina",
          "Lentejas", "Porotos alubia", "Polenta"},
         {"500 g", "1 kg", "5 kg"}},
        {"ALMSECYER", "Yerba, café e infusiones", 7, 21, "UN", false, 900, 9000,
         {"Yerba mate con palo", "Yerba mate suave", "Café molido", "Té en saquitos",
          "Mate cocido", "Cacao en polvo"},
         {"250 g", "500 g", "1 kg", "x 25 saquitos", "x 50 saquitos"}},
        {"ALMSECAZU", "Azúcar y endulzantes", 7, 10.5, "UN", false, 700, 3000,
         {"Azúcar común", "Azúcar impalpable", "Edulcorante líquido", "Azúcar mascabo"},
         {"500 g", "1 kg", "200 ml"}},
        {"ALMCON", "Conservas", 7, 21, "UN", false, 800, 5000,
         {"Tomate triturado", "Arvejas", "Choclo cremoso", "Atún en aceite", "Duraznos en almíbar",
          "Picadillo de carne"},
         {"lata 300 g", "lata 350 g", "lata 820 g", "caja 520 g"}},
        {"ALMACE", "Aceites y aderezos", 7, 21, "UN", false, 900, 12000,
         {"Aceite de girasol", "Aceite de oliva", "Vinagre de alcohol", "Mayonesa", "Mostaza",
          "Ketchup"},
         {"250 ml", "500 ml", "900 ml", "1,5 l", "sachet"}},
        {"ALMDUL", "Galletitas y dulces", 7, 21, "UN", false, 500, 4000,
         {"Galletitas de agua", "Galletitas dulces surtidas", "Dulce de leche", "Mermelada de durazno",
          "Alfajor de maicena", "Dulce de membrillo"},
         {"unidad", "250 g", "400 g", "500 g", "1 kg"}},
        {"ALMFIA", "Fiambres y quesos al corte", 7, 21, "KG", true, 6000, 22000,
         {"Queso cremoso", "Queso de máquina", "Jamón cocido", "Salame tipo milán", "Mortadela",
          "Queso rallado"},
         {"", "feteado", "horma", "estacionado"}},
        {"BEBGAS", "Gaseosas", 8, 21, "UN", false, 900, 3500,
         {"Gaseosa cola", "Gaseosa lima limón", "Gaseosa naranja", "Agua tónica", "Pomelo"},
         {"500 ml", "1,5 l", "2,25 l", "lata 354 ml"}},
        {"BEBAGU", "Aguas y jugos", 8, 21, "UN", false, 500, 3000,
         {"Agua mineral sin gas", "Agua mineral con gas", "Agua saborizada", "Jugo en polvo",
          "Jugo de naranja"},
         {"500 ml", "1,5 l", "2 l", "sobre"}},
        {"BEBVIN", "Vinos", 8, 21, "UN", false, 2500, 24000,
         {"Vino tinto malbec", "Vino tinto cabernet", "Vino blanco torrontés", "Vino rosado",
          "Vino espumante"},
         {"750 ml", "1,125 l", "caja 1 l", "reserva"}},
        {"BEBCER", "Cervezas", 8, 21, "UN", false, 1200, 5000,
         {"Cerveza rubia", "Cerveza negra", "Cerveza roja", "Cerveza sin alcohol"},
         {"lata 473 ml", "botella 1 l", "botella 330 ml"}},
        {"LIMDET", "Detergentes y lavavajillas", 9, 21, "UN", false, 700, 6000,
         {"Detergente concentrado", "Lavavajillas", "Limpiador cremoso", "Desengrasante"},
         {"300 ml", "500 ml", "750 ml", "1,25 l", "5 l"}},
        {"LIMLAV", "Lavandinas y desinfectantes", 9, 21, "UN", false, 500, 5000,
         {"Lavandina", "Desinfectante de ambientes", "Limpiador de pisos", "Alcohol en gel",
          "Alcohol etílico"},
         {"1 l", "2 l", "5 l", "250 ml", "aerosol 360 ml"}},
        {"LIMPAP", "Papeles y descartables", 9, 21, "UN", false, 600, 9000,
         {"Papel higiénico", "Rollo de cocina", "Servilletas", "Bolsas de residuos",
          "Esponja doble faz", "Trapo de piso"},
         {"x 4 rollos", "x 3 rollos", "x 100", "60 x 90 cm", "x 10 unidades", "unidad"}},
        {"PERJAB", "Jabones", 10, 21, "UN", false, 400, 4000,
         {"Jabón de tocador", "Jabón en polvo", "Jabón líquido para ropa", "Jabón blanco en pan"},
         {"90 g", "125 g", "800 g", "3 l", "x 3 unidades"}},
        {"PERSHA", "Cuidado del cabello", 10, 21, "UN", false, 1500, 8000,
         {"Shampoo", "Acondicionador", "Crema para peinar", "Tintura"},
         {"200 ml", "400 ml", "930 ml", "cabello seco", "cabello normal"}},
        {"PERDEN", "Cuidado dental", 10, 21, "UN", false, 700, 5000,
         {"Pasta dental", "Cepillo dental", "Enjuague bucal", "Hilo dental"},
         {"90 g", "180 g", "medio", "suave", "250 ml", "50 m"}},
        {"BAZVAJ", "Vajilla", 11, 21, "UN", false, 900, 25000,
         {"Plato playo", "Plato hondo", "Vaso de vidrio", "Taza con plato", "Juego de cubiertos",
          "Copa de vino"},
         {"unidad", "x 6", "x 12", "x 24 piezas", "blanco", "decorado"}},
        {"BAZCOC", "Cocina", 11, 21, "UN", false, 2500, 70000,
         {"Olla de aluminio", "Sartén antiadherente", "Pava de acero", "Cuchillo de cocina",
          "Tabla de picar", "Termo de acero"},
         {"16 cm", "20 cm", "24 cm", "28 cm", "1 l", "1,5 l"}},
        {"CONCEM", "Cemento, cal y yeso", 12, 21, "BL", false, 3500, 16000,
         {"Cemento portland", "Cal hidratada", "Yeso", "Adhesivo cementicio", "Hidrófugo"},
         {"25 kg", "30 kg", "40 kg", "50 kg", "20 l"}},
        {"CONARI", "Áridos", 12, 21, "M3", false, 25000, 60000,
         {"Arena gruesa", "Arena fina", "Piedra partida", "Canto rodado", "Ripio"},
         {"a granel", "6/20", "10/30", "bolsón"}},
        {"CONHIE", "Hierros y mallas", 12, 21, "UN", false, 2500, 90000,
         {"Hierro aletado", "Malla sima", "Alambre de atar", "Perfil C", "Caño estructural"},
         {"6 mm", "8 mm", "10 mm", "12 mm", "15 x 15 cm", "x 12 m"}},
    };
    return list;
}

const std::vector<Brand>& brands()
{
    static const std::vector<Brand> list = {
        {1, "Tornimax", 1},      {2, "Fijarte", 1},        {3, "Cerrojos del Centro", 1},
        {4, "Herrafort", 2},     {5, "Punta Fina", 2},     {6, "Tecnoforza", 2},
        {7, "Luzmar", 3},        {8, "Conductal", 3},      {9, "Voltia", 3},
        {10, "Aguaclara", 4},    {11, "Hidrocañ", 4},      {12, "Colormundo", 5},
        {13, "Pintafácil", 5},   {14, "Verdeagro", 6},     {15, "El Jardinero", 6},
        {16, "Don Anselmo", 7},  {17, "La Serranita", 7},  {18, "Pampa Dorada", 7},
        {19, "Doña Ñata", 7},    {20, "Cerro Azul", 8},    {21, "Sol de Cuyo", 8},
        {22, "Burbujas", 8},     {23, "Brillex", 9},       {24, "Limpiamás", 9},
        {25, "Suavísima", 10},   {26, "Frescor", 10},      {27, "Casa Linda", 11},
        {28, "Cocimax", 11},     {29, "Cementera del Sur", 12}, {30, "Áridos Calamuchita", 12},
        {31, "Aceros Tercero Arriba", 12},
    };
    return list;
}

const std::vector<Party>& suppliers()
{
    static const std::vector<Party> list = {
        {"Distribuidora Ferretera del Centro S.A.", "Raúl Ferreyra", "Ruta 9 km 563", "Córdoba"},
        {"Bulonera Villa María S.R.L.", "Mónica Ibáñez", "Bv. Sarmiento 1220", "Villa María"},
        {"Herramientas Industriales Rosario S.A.", "Julián Peñaloza", "Av. Ovidio Lagos 4410",
         "Rosario"},
        {"Electro Mediterránea S.A.", "Sofía Quiroga", "Av. Colón 3150", "Córdoba"},
        {"Sanitarios del Litoral S.R.L.", "Ignacio Núñez", "Av. Freyre 2890", "Santa Fe"},
        {"Pinturerías Unidas S.A.", "Carla Domínguez", "Av. Vélez Sarsfield 5100", "Córdoba"},
        {"Agroinsumos Río Tercero S.R.L.", "Héctor Bustos", "Av. San Martín 870", "Río Tercero"},
        {"Mayorista La Económica S.A.", "Patricia Olmedo", "Av. Circunvalación 2200", "Córdoba"},
        {"Distribuidora Alimenticia San Justo S.A.", "Marcelo Agüero", "Ruta 19 km 310",
         "San Francisco"},
        {"Bodegas y Viñedos Cuyanos S.A.", "Lucía Funes", "Carril Rodríguez Peña 2100",
         "Maipú"},
        {"Bebidas del Centro S.R.L.", "Diego Cáceres", "Av. Amadeo Sabattini 3500", "Córdoba"},
        {"Química Limpia S.A.", "Verónica Paz", "Parque Industrial lote 14", "Villa María"},
        {"Perfumería Mayorista Norte S.R.L.", "Gustavo Albornoz", "San Jerónimo 450",
         "Córdoba"},
        {"Bazar Mayorista Once S.A.", "Andrea Castaño", "Av. Pueyrredón 120", "Buenos Aires"},
        {"Corralón Materiales Sur S.R.L.", "Oscar Gigena", "Ruta 158 km 150", "Villa Nueva"},
        {"Siderúrgica Pampeana S.A.", "Roberto Maldonado", "Av. Costanera 900", "San Nicolás"},
    };
    return list;
}

const std::vector<Party>& customers()
{
    static const std::vector<Party> list = {
        {"Consumidor Final", "", "", "Villa María"},
        {"Constructora Los Álamos S.R.L.", "Ing. Pablo Rinaldi", "Mendoza 1540", "Villa María"},
        {"Municipalidad de Villa Nueva", "Compras", "Bv. Colón 50", "Villa Nueva"},
        {"Almacén Don Tito", "Alberto Ceballos", "Corrientes 890", "Villa María"},
        {"Kiosco La Esquina", "Graciela Suárez", "Entre Ríos 1322", "Villa María"},
        {"Electricidad Ñandú", "Rubén Ocampo", "Catamarca 233", "Tío Pujio"},
        {"Cooperativa Agrícola Ticino Ltda.", "Mariela Bertotti", "San Martín 12", "Ticino"},
        {"Escuela Técnica Manuel Belgrano", "Administración", "Santa Fe 1100", "Villa María"},
        {"Plomería Gómez e Hijos", "Carlos Gómez", "Sobremonte 760", "Villa María"},
        {"Pinturas y Revestimientos Arroyito", "Lorena Vivas", "Córdoba 445", "Arroyito"},
        {"Hotel Mediterráneo", "Sebastián Luna", "Bv. España 300", "Villa María"},
        {"Despensa Los Pinos", "Norma Acosta", "Las Heras 1650", "Villa Nueva"},
        {"Estancia La Herradura", "Juan Manuel Oviedo", "Zona rural", "James Craik"},
        {"Taller Mecánico El Rayo", "Fernando Ledesma", "Tucumán 2020", "Villa María"},
        {"Club Atlético Ameghino", "Tesorería", "Ameghino 555", "Villa María"},
        {"Instalaciones Sanitarias Paz", "Martín Paz", "La Rioja 98", "Pasco"},
        {"Supermercado El Trébol", "Silvina Herrera", "Av. Perón 1900", "Villa María"},
        {"Carpintería D'Angelo", "Nicolás D'Angelo", "Salta 671", "Villa María"},
        {"Vivero Las Acacias", "Elena Rossi", "Ruta 9 km 550", "Villa Nueva"},
        {"Panadería La Espiga", "Ricardo Sosa", "Buenos Aires 1045", "Villa María"},
        {"Gimnasio Vital", "Laura Ferrero", "San Juan 150", "Villa María"},
        {"Herrería Artística Peña", "Gabriel Peña", "Jujuy 890", "Etruria"},
        {"Consorcio Edificio Mirador", "Administración Ruiz", "Bv. Alvear 400", "Villa María"},
        {"Techos y Zinguería Molina", "Hugo Molina", "Chile 1230", "Villa María"},
        {"Restaurante El Fogón", "Valeria Montes", "Intendente Peña 60", "Villa María"},
    };
    return list;
}

const std::vector<const char*>& firstNames()
{
    static const std::vector<const char*> list = {
        "Ana", "Bruno", "Camila", "Darío", "Estela", "Facundo", "Gabriela", "Hernán", "Inés",
        "Joaquín", "Karina", "Lautaro", "Marta", "Nahuel", "Olga", "Pedro", "Romina", "Sergio",
        "Tamara", "Ulises", "Valentina", "Walter", "Ximena", "Yamila", "Zulema", "Ñuflo",
    };
    return list;
}

const std::vector<const char*>& lastNames()
{
    static const std::vector<const char*> list = {
        "Acuña", "Benítez", "Córdoba", "Díaz", "Echeverría", "Fernández", "García", "Herrera",
        "Iturralde", "Juárez", "López", "Martínez", "Muñoz", "Ortiz", "Pereyra", "Quintana",
        "Ríos", "Sánchez", "Toledo", "Urquiza", "Vázquez", "Yáñez", "Zabala",
    };
    return list;
}

} // namespace DemoCatalog
